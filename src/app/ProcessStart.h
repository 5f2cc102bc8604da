#pragma once

/// Set-up shared by the two programs' main(), before any Qt object exists.
namespace ProcessStart {

/// Has Qt interpret regular expressions rather than compile them to machine code, unless the user chose
/// otherwise with QT_ENABLE_REGEXP_JIT. The engines match each pattern a few times per report: compiling
/// them first cost a third of a report's run and half a megabyte of the window's memory, and won nothing back.
void interpretRegularExpressions();

} // namespace ProcessStart
