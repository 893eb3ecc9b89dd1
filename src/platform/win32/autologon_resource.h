// Resource ids of the "AutoLogon Details" dialog; OK and Cancel keep the system's IDOK and IDCANCEL,
// which the dialog manager ties to Enter and Esc.
#pragma once

#define IDD_AUTOLOGON 300
#define IDC_USERNAME_LABEL 301
#define IDC_USERNAME 302
#define IDC_DOMAIN_LABEL 303
#define IDC_DOMAIN 304
#define IDC_PASSWORD_LABEL 305
#define IDC_PASSWORD 306
