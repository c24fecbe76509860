// What the resource scripts share: the product's version.
#define QM_VERSION_BINARY 1, 0, 0, 1
#define QM_VERSION_TEXT "1.0.0.1"
