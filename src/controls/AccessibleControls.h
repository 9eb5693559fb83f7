#pragma once

#include <QString>

// What a screen reader learns of our own controls where Qt's interfaces
// would tell it wrong: a FooButton keeps its checked state itself (Qt would
// call a view tab an unchecked push button), and a link is a label to Qt.
// The factory is asked before Qt's own, for every class up the chain.
namespace AccessibleControls {

// Installs the factory; once is enough, more is harmless. Before the first
// window is shown.
void Install();

// A button's text as spoken: the mnemonic's ampersand gone, "&&" read as "&".
QString SpokenText(const QString& text);

}  // namespace AccessibleControls
