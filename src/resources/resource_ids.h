// Identifiers of the DLL's dialog resources and their controls, grouped by dialog in
// numeric order. Plain #defines: the resource scripts include this file too.
//
// One number may name different controls on different dialogs (1078 is the Render
// button of every page and the logo frame of the about box), so each name carries
// the dialog it belongs to. The value label of a trackbar is the control whose
// identifier is one above the trackbar's.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // labels, frames and group boxes that the code never addresses
#endif

// ---- Dialogs ---------------------------------------------------------------------
#define IDD_ABOUT_BOX 101
#define IDD_FX_PAGE 102
#define IDD_OPTIONS_PAGE 103
#define IDD_OBJECTS_PAGE 104
#define IDD_FILTER_PAGE 113
#define IDD_SETTINGS_PAGE 114

// ---- "Selected FX" panel, the same on dialogs 102, 103, 104 and 113 --------------
#define IDC_PANEL_NAME_BOX 1040     // group box; caption = selected effect's long name
#define IDC_PANEL_PICTURE 1042      // frame whose client area shows the preview
#define IDC_PANEL_DESCRIPTION 1044  // read-only multi-line edit
#define IDC_PANEL_SPEED 1062        // preview speed trackbar, frames per second
#define IDC_PANEL_RENDER 1078       // "Render" / "Stop" / "Wait..." button
#define IDC_PANEL_PROGRESS 1084     // render progress bar, 0 to 100

// ---- About box (101) -------------------------------------------------------------
#define IDC_ABOUT_PICTURE 1077  // frame for the picture on the left
#define IDC_ABOUT_LOGO 1078     // frame for the logo, bottom right
#define IDC_ABOUT_TITLE 1085    // product title, large bold type
#define IDC_ABOUT_RELEASE 1087  // release line

// ---- FX page (102) ---------------------------------------------------------------
#define IDC_FX_BUTTON_FIRST 1001  // owner-drawn effect buttons 1001..1016,
#define IDC_FX_BUTTON_LAST 1016   // button 1001 + i shows entry i of the shown group
#define IDC_FX_BUTTON_COUNT 16
#define IDC_FX_GROUP_LIST 1026  // drop-down list of the organization's groups
#define IDC_FX_ICONS_BOX 1043   // "FX Icons" group box around the buttons

// ---- Options page (103) ----------------------------------------------------------
#define IDC_OPT_FLY_OFF 1100  // "Type:" radio group (Direction)
#define IDC_OPT_FLY_ON 1101
#define IDC_OPT_SMOOTH 1103  // "Render:" radio group (RenderMode)
#define IDC_OPT_FLAT 1104
#define IDC_OPT_WIRE 1105
#define IDC_OPT_QUALITY_FASTEST 1106  // "Quality:" radio group
#define IDC_OPT_QUALITY_BEST 1107
#define IDC_OPT_IMAGE_FASTEST 1108  // "Image Quality:" radio group
#define IDC_OPT_IMAGE_BEST 1109
#define IDC_OPT_ANTIALIAS 1110  // trackbar and its label
#define IDC_OPT_ANTIALIAS_LABEL 1111
#define IDC_OPT_LIGHTING 1112  // check boxes
#define IDC_OPT_SHADOWS 1113
#define IDC_OPT_BLUR_PERCENT 1115
#define IDC_OPT_BLUR_PERCENT_LABEL 1116
#define IDC_OPT_BLUR_COUNT 1117
#define IDC_OPT_BLUR_COUNT_LABEL 1118
#define IDC_OPT_LIGHT_DIRECTION 1121
#define IDC_OPT_LIGHT_DIRECTION_LABEL 1122
#define IDC_OPT_FIELD_FRAME 1400  // "Frame/Field:" radio group (FrameField)
#define IDC_OPT_FIELD_ODD 1401
#define IDC_OPT_FIELD_EVEN 1402
#define IDC_OPT_TRANSITION_PERIOD 1639
#define IDC_OPT_TRANSITION_PERIOD_LABEL 1640

// ---- Objects page (104) ----------------------------------------------------------
#define IDC_OBJ_PATH_ROTATION 1119
#define IDC_OBJ_PATH_ROTATION_LABEL 1120
#define IDC_OBJ_LIST 1300  // drop-down list of the effect's objects, in effect order
#define IDC_OBJ_LUMINOSITY 1301
#define IDC_OBJ_LUMINOSITY_LABEL 1302
#define IDC_OBJ_SHINE 1303
#define IDC_OBJ_SHINE_LABEL 1304
#define IDC_OBJ_TRANSPARENCY 1305
#define IDC_OBJ_TRANSPARENCY_LABEL 1306
#define IDC_OBJ_TRAIL_COUNT 1307
#define IDC_OBJ_TRAIL_COUNT_LABEL 1308
#define IDC_OBJ_CHANGE_PERIOD 1309
#define IDC_OBJ_CHANGE_PERIOD_LABEL 1310
#define IDC_OBJ_ROTATES_WITH_PATH 1312  // check box
#define IDC_OBJ_TRAIL_SPACING 1320
#define IDC_OBJ_TRAIL_SPACING_LABEL 1321

// ---- Filter page (113) -----------------------------------------------------------
#define IDC_FILTER_SOURCE 1200  // drop-down list of the effect's objects
#define IDC_FILTER_PERCENT 1201
#define IDC_FILTER_PERCENT_LABEL 1202
#define IDC_FILTER_FRAMES 1203
#define IDC_FILTER_FRAMES_LABEL 1204
#define IDC_FILTER_CENTER_OBJECTS 1205  // check box

// ---- Settings page (114) ---------------------------------------------------------
#define IDC_SET_AUTOREVERSE 1080    // check box "Reverse 1 and 2 Settings ..."
#define IDC_SET_AUTO_RENDER 1081    // check box "Automatic Preview Render"
#define IDC_SET_SAVE_DEFAULTS 1088  // button "Save default options"
#define IDC_SET_SHOW_ICON 1500      // FX page display radio group
#define IDC_SET_SHOW_NAME 1501
#define IDC_SET_SHOW_BOTH 1502
#define IDC_SET_ORG_LIST 1503        // sorted list of organization files
#define IDC_SET_PREVIEW_ENGINE 1504  // sorted list of engines for the preview
#define IDC_SET_PREVIEW_FRAMES 1505
#define IDC_SET_PREVIEW_FRAMES_LABEL 1506
#define IDC_SET_PREVIEW_SPEED 1509
#define IDC_SET_PREVIEW_SPEED_LABEL 1510
#define IDC_SET_RENDER_ENGINE 1511  // sorted list of engines for the final render
#define IDC_SET_LOG_OFF 1512        // "Logging:" radio group
#define IDC_SET_LOG_SUMMARY 1513
#define IDC_SET_LOG_DETAILED 1514
#define IDC_SET_QUALITY_LOW 1515  // preview "Quality:" radio group
#define IDC_SET_QUALITY_MEDIUM 1516
#define IDC_SET_QUALITY_HIGH 1517
