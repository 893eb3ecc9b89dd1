// Resource ids of the input box dialog, shared by its template and its code.
#pragma once

#define IDD_INPUTBOX 2100
#define IDC_INPUTBOX_PROMPT 2101
#define IDC_INPUTBOX_TEXT 2102

// CW_USEDEFAULT in the 16 bits of a dialog template's x: the dialog manager then lets the system
// place the box as it places any new window. It only does so for an overlapped (not WS_POPUP) style.
#define INPUTBOX_DEFAULT_POSITION (-32768)
