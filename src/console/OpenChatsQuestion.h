#pragma once

class CChatList;
class QWidget;

// Before the console closes with visitor chats live: a box modal to the
// console asks whether to end them (the Close Chat request of each,
// awaited for waitMs at most in all), keep them waiting at the service, or
// cancel. False when the operator cancelled.
bool SettleOpenChats(QWidget* console, const CChatList& chats, int waitMs);
