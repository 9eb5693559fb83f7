#pragma once

// The request types of asynchronous requests: a label of what a request is
// for. Types 9, 13, 14, 18, 23 and 24 belong to no request; a type outside
// 1 to 33 is never delivered. The login window's two requests, once
// synchronous, took two free numbers when they stopped blocking it.
enum RequestType : int {
  REQ_LOGIN = 1,
  REQ_REFRESH = 2,
  REQ_STATUS = 3,
  REQ_ACCEPT_CHAT = 4,
  REQ_MESSAGE_SENT = 5,
  REQ_MESSAGES = 6,
  REQ_PARAMETERS = 7,
  REQ_LOG_OUT_OPERATOR = 8,
  REQ_PROACTIVE_POP = 10,
  REQ_VISITOR_ACTION = 11,
  REQ_FOOT_PRINTS = 12,  // the console's foot-prints panel
  REQ_SEND_LINE = 15,
  REQ_POLL_CHAT = 16,
  REQ_TYPING_NOTICE = 17,
  REQ_END_CHAT = 19,
  REQ_CANNED_LISTS = 20,
  REQ_VISITOR_DETAILS = 21,  // a chat window's panel, and the console's
  REQ_NAME_AND_EMAIL = 22,
  REQ_TRANSFER_CHAT = 25,
  REQ_ACCEPT_OPERATOR_CHAT = 26,
  REQ_INVITE_OPERATOR = 27,
  REQ_OPERATOR_MESSAGES = 28,
  REQ_OPERATOR_SEND_LINE = 29,
  REQ_OPERATOR_POLL = 30,
  REQ_OPERATOR_TYPING_QUERY = 31,
  REQ_OPERATOR_TYPING_NOTICE = 32,
  REQ_CLOSE_OPERATOR_CHAT = 33,
  REQ_TYPE_LAST = 33,
};
