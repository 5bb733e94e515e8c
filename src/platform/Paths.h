#pragma once
#include <QString>

// Where the program keeps its files. What the user writes goes under Documents/Quibolet;
// the page setup under the user's configuration folder; the help file lies beside the
// executable, or in <prefix>/share/quibolet once installed. Folders are named with "/" and
// are not created here.
namespace platform::paths {

QString userFolder();    // <Documents>/Quibolet
QString notesFolder();   // <Documents>/Quibolet/Notes: gradebooks
QString exportFolder();  // <Documents>/Quibolet/Export: exchange files
QString configFolder();  // <configuration>/Quibolet
QString configFile();    // <configuration>/Quibolet/Quibolet.cfg
QString helpFile();      // <executable's folder>/Quibolet.html, or the installed one

}  // namespace platform::paths
