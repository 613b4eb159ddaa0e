#pragma once
// Which program a process is, by the file name a profile names it with
// ("game.exe"). On Linux a game run through Wine or Proton is a process of
// Wine's loader, and the Windows program it runs is in its command line:
// named by that, a profile follows the game on both systems.
#include <cstdint>
#include <string>
#include <vector>

namespace kovral {

// What the system tells of a process; any part may be missing (a process of
// another user hides its executable).
struct ProcessFacts {
  std::wstring executable;          // the path the executable's link gives
  std::vector<std::wstring> args;   // the command line, argv[0] first
  std::wstring shortName;           // the name the kernel keeps (15 bytes at most)
};

// The last part of a path, of either system's separators.
std::wstring FileNameOfPath(const std::wstring& path);
// Wine's loaders (Proton's are the same): the processes whose program is
// the Windows one in their command line.
bool IsWineLoader(const std::wstring& fileName);
// The Windows program a command line of Wine runs: argv[0] as Wine sets it
// ("C:\games\Game.exe"), or the program after the loaders and `start`
// ("wine game.exe", "wine start /unix /home/u/game.exe"). Empty when there
// is none.
std::wstring WineProgramOfArgs(const std::vector<std::wstring>& args);
// The program's file name: the executable's, the Windows program's for
// Wine, else what the command line or the kernel's short name says.
std::wstring ProgramOfProcess(const ProcessFacts& facts);

#ifdef __linux__
// The facts of a process from /proc (process_program_linux.cpp).
ProcessFacts ReadProcessFacts(uint32_t pid);
#endif

}  // namespace kovral
