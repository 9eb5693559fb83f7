#pragma once

#include "OperatorEntry.h"

#include <QList>
#include <Qt>
#include <QString>

class QComboBox;

// Fills an operators box with the site's operators ("name (status)", the
// own entry left out, online operators first, each item holding its
// operator's name and, under kOperatorOfflineRole, whether he is offline).
// It is refilled only when its
// texts changed, so an open drop-down list stays open; the chosen operator
// stays chosen by name, and when he is gone nobody is, so a message or a
// transfer never goes to whoever took his place. A box filled for the first
// time starts on its first operator, or on nobody.
constexpr int kOperatorOfflineRole = Qt::UserRole + 1;
enum class OperatorBoxStart { FirstOperator, Empty };
void RefillOperatorBox(QComboBox* box, const QList<OperatorEntry>& operators, const QString& ownLoginId,
                       OperatorBoxStart start = OperatorBoxStart::FirstOperator);
