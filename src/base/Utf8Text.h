#pragma once
// Texts from logs are bytes that are mostly, but not always, UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

// Length of the valid UTF-8 sequence starting at text[i] (1 for ASCII), or 0 when the byte
// starts none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// The text as valid UTF-8: each byte that starts no valid sequence is taken as the
// character of the same code (as Latin-1 would have it).
std::string ValidUtf8(std::string_view text);
