#pragma once
// Which SQLCipher the program runs on. The engine reads and writes files in SQLCipher 3's
// format (Cipher.h): another major version would read its page headers otherwise, so that
// the checks made before SQLCipher reads a page would be made on the wrong bytes, and older
// files would no longer open.
#include <QString>

namespace db {

// Readies the process's SQLite for the engine, once, as the program starts and before any
// file is opened: its own opens then refuse a FIFO or a socket at once rather than wait on
// one, for every connection of the process.
void startEngine();

// The version that the SQLCipher linked in says it is ("3.4.1"); empty when it says none.
QString cipherVersion();
// Whether it is one of SQLCipher 3: asked once, the answer kept.
bool cipherVersionSupported();
// What the teacher reads when it is not.
QString unsupportedCipherMessage();

}  // namespace db
