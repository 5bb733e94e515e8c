#pragma once

// Lets the gradebook store ask its questions in the program's message box and show its
// next steps in the message list. Safe to call more than once.
void connectStoreMessages();
