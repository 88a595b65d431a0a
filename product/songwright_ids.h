/* Resource numbers of the Songwright program (C++ and the resource script). */
#ifndef PRODUCT_SONGWRIGHT_IDS_H
#define PRODUCT_SONGWRIGHT_IDS_H

#define IDI_SONGWRIGHT 1
#define IDM_MAIN_MENU 100
#define IDM_FILE_EXIT 101
#define IDM_HELP_CONTENTS 102
#define IDM_HELP_ABOUT 103
#define IDA_MAIN_KEYS 110

#define IDS_WINDOW_TITLE 200
#define IDS_WELCOME 201
#define IDS_ABOUT 202
#define IDS_NO_HELP 203

#endif
