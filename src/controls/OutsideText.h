#pragma once

#include <QString>

// Text that comes from the service or a visitor, made safe to show.

// Plain text as tooltip markup: shown exactly as written, never as HTML
// (Qt takes a tooltip that looks like markup for rich text).
QString PlainToolTip(const QString& text);

// One field of outside text as it is shown: without the explicit
// directional formatting characters (embeddings, overrides, isolates), so
// that a page "photo\u202Egpj.exe" reads as it was sent, not as "photoexe.jpg",
// and nothing a field opens runs on into the next. Returns the text itself,
// uncopied, when it holds none.
QString DisplayedField(const QString& text);
