/* The numbers of the setup's resources: strings, dialogs and their controls,
   icon groups, the logo and the package. Plain #defines, so that both the
   C++ code and the resource scripts (windres) can include this file; it
   needs no <windows.h>. */
#ifndef UI_RESOURCES_RESOURCE_IDS_H
#define UI_RESOURCES_RESOURCE_IDS_H

/* String table (language neutral). */
#define IDS_SETUP_CAPTION 103        /* "Songwright Setup" */
#define IDS_DEFAULT_FOLDER 104       /* the default destination folder */
#define IDS_ASK_CREATE_FOLDER 106    /* format: %s = folder */
#define IDS_CANNOT_CREATE_FOLDER 107 /* format: %s = folder */
#define IDS_ASK_ABORT 108
#define IDS_BROWSE_TITLE 109
#define IDS_OUT_OF_MEMORY 110
#define IDS_INSTALL_SUCCEEDED 112
#define IDS_INSTALL_INCOMPLETE 113
#define IDS_INSTALL_FAILED 114
#define IDS_REGISTRATION_FAILED 115
#define IDS_UNEXPECTED_SITUATION 116

/* Dialog templates (language neutral). */
#define IDD_LICENSE 137
#define IDD_DESTINATION 138
#define IDD_PROGRESS 139

/* Controls. The dialogs' own buttons are IDOK (1) and IDCANCEL (2). */
#define IDC_LICENSE_ACCEPT 1000  /* dialog 137: the "I have read..." check box */
#define IDC_LICENSE_TEXT 1010    /* dialog 137: the rich edit control */
#define IDC_FOLDER_EDIT 1011     /* dialog 138: the destination folder */
#define IDC_BROWSE 1012          /* dialog 138: the "..." button */
#define IDC_INTRO_TEXT 1006      /* dialog 138: the introduction line */
#define IDC_LOGO 507             /* dialog 138: the logo area */
#define IDC_CURRENT_FILE 1003    /* dialog 139: the path being copied */
#define IDC_PROGRESS_BAR 1002    /* dialog 139: the progress bar */
#define IDC_UNNAMED_STATIC (-1)  /* labels nobody addresses */

/* Icon groups (language neutral). */
#define IDI_SETUP_FILE 107   /* the executable's own icon: the lowest group id */
#define IDI_SETUP_SMALL 117  /* the dialogs' small icon */

/* The animated logo: resource type "GIF" (by name), language neutral. */
#define IDR_LOGO 506
#define LOGO_RESOURCE_TYPE "GIF"

/* The package: RT_RCDATA, English (United States). */
#define IDR_PACKAGE 118
#define PACKAGE_LANGUAGE 0x0409

/* The application manifest: RT_MANIFEST, English (United States). */
#define IDR_MANIFEST 1
#define MANIFEST_LANGUAGE 0x0409

#endif
