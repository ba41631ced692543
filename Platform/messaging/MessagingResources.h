// Identifiers of the messaging application's resources (messaging.rsrc beside the program), shared by the
// resource script and the program.
#pragma once

// Screens.
#define IDD_COMPOSE_SMS 100
#define IDD_COMPOSE_MAIL 101
#define IDD_READ 102

// Controls.
#define IDC_TO 1000
#define IDC_CC 1001
#define IDC_BCC 1002
#define IDC_SUBJECT 1003
#define IDC_ATTACHMENT 1004
#define IDC_BODY 1005
#define IDC_COUNTER 1006
#define IDC_TO_LABEL 1007
#define IDC_CC_LABEL 1008
#define IDC_BCC_LABEL 1009
#define IDC_SUBJECT_LABEL 1010
#define IDC_ATTACHMENT_LABEL 1011
#define IDC_READ_PARTY 1020
#define IDC_READ_TIME 1021
#define IDC_READ_SUBJECT 1022
#define IDC_READ_ATTACHMENT 1023
#define IDC_READ_BODY 1024
#define IDC_LIST 1030

// Soft-key bars and their commands.
#define IDM_COMPOSE 200
#define IDM_READ 201
#define IDM_FOLDERS 202
#define IDM_MESSAGES 203
#define IDM_NEW_MESSAGE 300
#define IDM_EXIT 301

// Texts.
#define IDS_APP_TITLE 400
#define IDS_SMS_TITLE 401
#define IDS_MAIL_TITLE 402
#define IDS_COUNTER 403
#define IDS_NO_RECIPIENT 404
#define IDS_NOT_A_NUMBER 405
#define IDS_NOT_A_MAIL_ADDRESS 406
#define IDS_TEXT_TOO_LONG 407
#define IDS_SEND_FAILED 408
#define IDS_FOLDER_ROW 409
#define IDS_FROM 410
#define IDS_TO 411
#define IDS_NO_SUBJECT 412
#define IDS_OPEN_FAILED 413
