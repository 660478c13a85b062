#pragma once
// The fields that analyses ask the parser for, by kind.
enum class TFieldKind : int { IP = 0, Date = 1, Request = 2, StatusCode = 3, Bytes = 4, Referrer = 5, UserAgent = 6 };

inline constexpr int FieldKindCount = 7;

// "IP", "Date", ... as used in log-type descriptions; "?" for any other value.
const char* FieldKindName(TFieldKind kind);
