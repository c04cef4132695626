// What the program knows of the worm family: its names and the files and registry places it uses,
// spelled exactly as the program has always spelled them (capitals included: the keys are looked up
// without regard to case, but every text stays as it was written).
#pragma once

// The family as the window names it.
constexpr char kFamilyName[] = "W32/Vorlex";
// The name registry lines carry.
constexpr char kWormName[] = "W32/Vorlex.Trojan";
// The checker table's name, trailing blank included: a line made with it has two blanks before
// its outcome word.
constexpr char kCheckerTableName[] = "W32/Vorlex.Trojan ";
// The line that opens the removal of a running worm's file.
constexpr char kMemoryRemovalLine[] = "System Memory    W32/Vorlex.Trojan  removed";
// A worm found running by a scan that only looks: its record's name and its executable.
constexpr char kMemoryFoundFormat[] = "System Memory     %s running from %s";
// A registry value that started the worm, gone.
constexpr char kRegistryRemovalFormat[] = "System Registry     %s removed";

// The machine-wide autorun keys the worm writes, and the uninstall key as the autorun cleaning
// names it when it deletes a remembered value there.
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr char kRememberedUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rhcjg7j0e38v";

// The worm's uninstall entry and the autorun value that comes with it: each is removed only while
// its data carries the worm's own file name.
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rhcjg7j0e38v";
constexpr char kUninstallValue[] = "UninstallString";
constexpr char kUninstallMark[] = "uninstall.exe";
constexpr char kCompanionRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kCompanionValue[] = "SMrhcjg7j0e38v";
constexpr char kCompanionMark[] = "rhcjg7j0e38v.exe";

// Where the worm's hosts file lies: below the system folder on the NT line, in the Windows folder
// on the 9x line.
constexpr char kNtHostsTail[] = "\\drivers\\etc\\hosts";
constexpr char kNineXHostsTail[] = "\\hosts";

// The services of the running system, and the two stored control sets whose service keys a
// worm's service leaves behind.
constexpr char kCurrentServicesKey[] = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr char kControlSet1ServicesKey[] = "SYSTEM\\ControlSet001\\Services\\";
constexpr char kControlSet2ServicesKey[] = "SYSTEM\\ControlSet002\\Services\\";
// The second set's first deletion has always named the set in capitals; keys ignore case.
constexpr char kControlSet2ServicesKeyCapitals[] = "SYSTEM\\CONTROLSET002\\SERVICES\\";
