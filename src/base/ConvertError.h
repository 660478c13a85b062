#pragma once
// A text that is not the date, time or number it should be (a log date, a W3C status code that
// is no integer, a status code beyond 32 bits, a stored time area); the message quotes it.
#include <stdexcept>

class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
