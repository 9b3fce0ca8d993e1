// Every resource and command id of the program, with the numbers the program's
// files and menus rely on. Shared by the .rc file and the C++ code.
#pragma once

// Icons
#define IDI_TILVO 101        // application icon: title strip, window class
#define IDI_PLANT 102        // plant marker on the canvas
#define IDI_PAN 103          // toolbar: pan mode
#define IDI_ZOOM_IN 104      // toolbar: zoom in
#define IDI_ZOOM_OUT 105     // toolbar: zoom out
#define IDI_ZOOM_RESET 106   // toolbar: reset zoom

// Strings
#define IDS_VERSION 107      // version text of the status strip

// Accelerators
#define IDR_ACCELERATORS 4001

// Commands (WM_COMMAND ids shared by the menus, accelerators and keys)
#define IDM_NEW_PROJECT 1001
#define IDM_OPEN_PROJECT 1002
#define IDM_CLOSE_PROJECT 1003
#define IDM_SAVE_PROJECT 1004
#define IDM_SAVE_PROJECT_AS 1005
#define IDM_IMPORT_JSON 1006
#define IDM_EXPORT_JSON 1007
#define IDM_PRINT 1008
#define IDM_EXIT 1010
#define IDM_NEW_SPACE 1020
#define IDM_RENAME_SPACE 1021
#define IDM_DELETE_SPACE 1022
#define IDM_EXPORT_SPACES 1023
#define IDM_VIEW_PLANTS 1025
#define IDM_NEW_PLANT 1026
#define IDM_RENAME_PLANT 1027
#define IDM_DELETE_PLANT 1028
#define IDM_ADD_TASK 1031
#define IDM_VIEW_TASKS 1032
#define IDM_ABOUT 1042

// Plant List dialog
#define IDD_PLANT_LIST 3001
#define IDC_PLANT_LIST 3002          // list box of every plant
#define IDC_PLANT_COUNT 3003         // the total count
#define IDC_PLANT_LIST_CLOSE 3004

// Create/Edit Task dialog
#define IDD_TASK 3010
#define IDC_TASK_NAME 3011
#define IDC_TASK_DESCRIPTION 3012
#define IDC_TASK_DUE_DATE 3014
#define IDC_TASK_SAVE 3015
#define IDC_TASK_CANCEL 3016
#define IDC_TASK_NO_DUE_DATE 3017
#define IDC_TASK_PLANTS 3018
#define IDC_TASK_SPACES 3019

// Task List dialog
#define IDD_TASK_LIST 3020
#define IDC_TASK_LIST 3021
#define IDC_TASK_LIST_TOTAL 3022
#define IDC_TASK_LIST_EDIT 3023
#define IDC_TASK_LIST_DELETE 3024
#define IDC_TASK_LIST_CLOSE 3025
#define IDC_TASK_LIST_DESCRIPTION_LABEL 3026
#define IDC_TASK_LIST_DESCRIPTION 3027

// Export Spaces dialog
#define IDD_EXPORT_SPACES 3030
#define IDC_EXPORT_SPACE_LIST 3031   // check-box list of the spaces
#define IDC_EXPORT_BUTTON 3032
#define IDC_EXPORT_CANCEL 3033

// About box
#define IDD_ABOUT 3040
#define IDC_ABOUT_ICON 3041
#define IDC_ABOUT_TITLE 3042
#define IDC_ABOUT_TEXT 3043
#define IDC_ABOUT_OK 3045
