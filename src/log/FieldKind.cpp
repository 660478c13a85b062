#include "log/FieldKind.h"

const char* FieldKindName(TFieldKind kind) {
  static const char* const names[FieldKindCount] = {"IP",    "Date",     "Request",  "StatusCode",
                                                    "Bytes", "Referrer", "UserAgent"};
  const int k = static_cast<int>(kind);
  return k >= 0 && k < FieldKindCount ? names[k] : "?";
}
