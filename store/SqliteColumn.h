// A text column of the current row as its UTF-8 bytes, for the store's files.
#pragma once

#include <string>

#include <sqlite3.h>

// By its byte count, so an embedded NUL stays; NULL reads as empty text.
inline std::string ColumnBytes(sqlite3_stmt* stmt, int column) {
    const unsigned char* text = sqlite3_column_text(stmt, column);
    if (!text) return std::string();
    return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}
