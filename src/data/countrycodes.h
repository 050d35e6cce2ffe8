#pragma once
#include <span>
namespace tvx::data {
struct CountryCode { const char *code; const char *name; };  // UTF-8
// Every ISO 3166-1 alpha-2 code with its Hungarian name, ordered by code.
std::span<const CountryCode> countryCodes();
}
