#pragma once
// Log text shown to a person. Control characters that a terminal or a text view acts on (C0,
// DEL, C1, and the bidirectional embeddings, overrides, isolates and marks) are made visible,
// so a log field can neither move the cursor, set a title, clear the screen, fake a table row
// nor reorder the text that follows it. A backslash stays as it is: the escapes are for
// reading; JSON and CSV keep the exact text. Text without such characters comes back as it
// is; the cost is one scan of the text.
#include <cstddef>
#include <string>
#include <string_view>

// For text output: \t, \r and \n, \xHH for the other C0 characters, for DEL and for a byte
// that starts no UTF-8 sequence, \u00HH for C1 and \uHHHH for the bidirectional controls.
// The result is valid UTF-8.
std::string EscapeControls(std::string_view text);

// For a window: the control pictures (U+2400 to U+241F, U+2421) for C0 and DEL, the escapes
// above for C1 and the bidirectional controls. A byte that starts no UTF-8 sequence is taken
// as Latin-1 first, as ValidUtf8 does (so 0x9B shows as \u009B). The result is valid UTF-8.
std::string ShowControls(std::string_view text);

// Columns that valid UTF-8 text takes on a terminal: East Asian wide characters count two,
// combining marks none, as utf8proc measures them.
std::size_t DisplayWidth(std::string_view text);
