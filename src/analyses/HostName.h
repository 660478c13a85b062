#pragma once
// Texts of the reverse host-name lookup of a visit's address.
#include <string>
#include <string_view>

// Exactly three dots, and four parts that are decimal numbers from 0 to 255.
bool IsIPv4Address(std::string_view text);

// The last two labels of a host name ("dial.pool.isp.net" gives "isp.net"); a name with
// fewer than two dots stays whole.
std::string_view ShortHostName(std::string_view name);
