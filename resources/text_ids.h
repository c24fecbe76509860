// Numbers of the texts a user reads, shared by the resource scripts and the code. Every
// language's string table carries the same numbers; the menu bars' captions (104, 106, 132, 134)
// are numbered by the menu-bar data.
#pragma once

#define QM_TEXT_OK 104
#define QM_TEXT_CANCEL 106
#define QM_TEXT_HIDE 132
#define QM_TEXT_CONNECT 134

// The tabs, the first (the mouse page's) without a caption.
#define QM_TEXT_TAB_KEYBOARD 200
#define QM_TEXT_TAB_STATUS 201
#define QM_TEXT_TAB_HELP 202
#define QM_TEXT_TAB_ABOUT 203

// The pages' controls.
#define QM_TEXT_MOUSE_SUPPORT 210
#define QM_TEXT_KEYBOARD_SUPPORT 211
#define QM_TEXT_KEYBOARD_SOUNDS 212
#define QM_TEXT_STATUS_DISPLAY 213
#define QM_TEXT_AUTOSTART 214
#define QM_TEXT_TRAY_ICON 215
#define QM_TEXT_CHANGE 216
#define QM_TEXT_PREVIOUS_CURSOR 217
#define QM_TEXT_NEXT_CURSOR 218

// What the pages paint.
#define QM_TEXT_MOUSE_TITLE 220
#define QM_TEXT_CURSOR 221
#define QM_TEXT_SPEED 222
#define QM_TEXT_KEYBOARD_TITLE 223
#define QM_TEXT_KEYBOARD_DESCRIPTION 224
#define QM_TEXT_SETTINGS_TITLE 225
#define QM_TEXT_STATUS_TITLE 226
#define QM_TEXT_BLUETOOTH_LABEL 227
#define QM_TEXT_MOUSE_LABEL 228
#define QM_TEXT_KEYBOARD_LABEL 229
#define QM_TEXT_ON 230
#define QM_TEXT_OFF 231
#define QM_TEXT_ABOUT_TITLE 232
#define QM_TEXT_VERSION_LABEL 233
#define QM_TEXT_RELEASE_LABEL 234
#define QM_TEXT_LEGAL_NOTICE 235
#define QM_TEXT_COPYRIGHT 236
#define QM_TEXT_COMPATIBLE 237

// The message boxes: title and text.
#define QM_TEXT_CRITICAL_TITLE 240
#define QM_TEXT_CRITICAL 241
#define QM_TEXT_BLUETOOTH_OFF_TITLE 242
#define QM_TEXT_BLUETOOTH_OFF 243
#define QM_TEXT_NO_DEVICE_TITLE 244
#define QM_TEXT_NO_DEVICE 245

// The notification icon's tips.
#define QM_TEXT_TIP_NO_DRIVER 250
#define QM_TEXT_TIP_BLUETOOTH_OFF 251
#define QM_TEXT_TIP_NO_KEYBOARD 252
#define QM_TEXT_TIP_BOTH_ON 253
#define QM_TEXT_TIP_KEYBOARD_ON 254
#define QM_TEXT_TIP_MOUSE_ON 255
#define QM_TEXT_TIP_BOTH_OFF 256

// The pickers' captions.
#define QM_TEXT_PROGRAM_PICKER 260
#define QM_TEXT_APPLET_PICKER 261

// The action names (17, each at most 19 characters) and the speed names (11), in their tables' order.
#define QM_TEXT_ACTION_FIRST 300
#define QM_TEXT_SPEED_FIRST 320

// The first and the one past the last number of the program's texts from 200 on.
#define QM_TEXT_FIRST 200
#define QM_TEXT_END 331

// The applet's own texts, in its own library: its name and description, and its two messages.
#define QM_APPLET_NAME 101
#define QM_APPLET_INFO 102
#define QM_APPLET_NOT_INSTALLED 110
#define QM_APPLET_NOT_STARTED 111
#define QM_APPLET_FIRST 101
#define QM_APPLET_END 112
