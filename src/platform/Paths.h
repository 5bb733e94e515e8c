#pragma once
#include <QString>

// Where the program keeps its files. What the user writes goes under Documents/Quibolet;
// the page setup under the user's configuration folder; the help file lies beside the
// executable, or in <prefix>/share/quibolet once installed. Folders are named with "/" and,
// but for the private one, are not created here.
namespace platform::paths {

QString userFolder();    // <Documents>/Quibolet
QString notesFolder();   // <Documents>/Quibolet/Notes: gradebooks
QString exportFolder();  // <Documents>/Quibolet/Export: exchange files
QString configFolder();  // <configuration>/Quibolet
QString configFile();    // <configuration>/Quibolet/Quibolet.cfg
QString helpFile();      // <executable's folder>/Quibolet.html, or the installed one
// A folder of the user's alone (theirs, mode 0700) for what the program makes for a while:
// the session's runtime folder when it is one, else <cache>/Quibolet, made or set so;
// "" when neither can be.
QString privateFolder();

}  // namespace platform::paths
