#pragma once
// The one place that includes SQLCipher's sqlite3.h. The key functions are declared only
// when SQLITE_HAS_CODEC is defined, and pkg-config does not define it for us.
#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

namespace db::sqlite {

// Owns a prepared statement that is not kept in a connection's cache.
class Statement {
public:
    Statement() = default;
    explicit Statement(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    Statement(Statement&& other) noexcept : m_stmt(other.m_stmt) { other.m_stmt = nullptr; }
    Statement& operator=(Statement&& other) noexcept {
        if (this != &other) {
            sqlite3_finalize(m_stmt);
            m_stmt = other.m_stmt;
            other.m_stmt = nullptr;
        }
        return *this;
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(m_stmt); }

    sqlite3_stmt* get() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

}  // namespace db::sqlite
