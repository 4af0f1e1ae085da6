#pragma once
// Wide texts of the engine and the resource object as UTF-8 for a terminal.
// wchar_t is 16 bits on Windows and 32 bits on the host; both are handled.

#include <string>

std::string ToUtf8(const std::wstring& text);
std::wstring FromAscii(const std::string& text);
