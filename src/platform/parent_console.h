// Where a program's standard output goes when a person should read it:
//
//     const bool console = attachParentConsole();  // false: nobody sees stdout, write a file
//
// A Windows GUI-subsystem program gets no console of its own. Started from a console (cmd,
// PowerShell) it attaches to that one and reopens stdout and stderr there; with its output
// redirected (a file, a pipe) it keeps that. Started from the desktop it has neither, and the
// call returns false. Elsewhere standard output goes wherever the starter sent it: true, unless
// the starter closed standard output or standard error.
#pragma once

bool attachParentConsole();
