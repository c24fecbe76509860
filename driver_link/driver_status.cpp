#include "driver_link/driver_status.h"

DriverStatus driverStatus;
