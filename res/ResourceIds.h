#pragma once

// Resource ids of the program. The numbers are fixed: the windows and
// the settings store refer to them. The service's request templates live
// beside their requests, in net/Requests.cpp.

// String table.
enum StringId : int {
  IDS_ABOUTBOX = 101,
  IDS_SERVICE_HOST = 102,
  IDS_SAMPLE_REFRESH_REPLY = 109,
  IDS_SAMPLE_LOGIN_ADDRESS = 110,
  IDS_DEFAULT_PREFIX = 111,
  IDS_EMPTY_FIELDS = 118,
  IDS_PRODUCT_NAME = 119,
  IDS_ACTION_REMOVE = 120,
  IDS_ACTION_INVITE = 121,
  IDS_ACTION_REFUSE = 122,
  IDS_STATUS_TOTALS = 135,
  IDS_STATUS_NO_TOTALS = 136,
  IDS_ACTION_BLOCK_IP = 191,
};

// Icons, bitmaps, cursors and sounds, by their resource id. The files in
// res/ are named after these numbers.
enum ArtId : int {
  IDR_MAINFRAME = 128,   // application icon
  IDC_LINK_HAND = 161,   // cursor: pointing hand of a link, hot spot (6,0)
  IDB_ROW_IMAGES = 170,  // visitor table row images, 16 pixels each
  IDB_LOGIN_PICTURE = 189,
  IDB_TAB_PRESSED = 293,
  IDB_TOOL_PRESSED = 299,
  IDB_PADLOCK = 310,
};

enum WaveId : int {
  IDW_CHAT_TRANSFER = 140,
  IDW_CHAT_REQUEST_BUSY = 141,
  IDW_CHAT_REQUEST = 143,
  IDW_NEW_CHAT_LINE = 154,
  IDW_NEW_VISITOR = 168,
  IDW_CONNECTION_FAILURE = 301,
};
