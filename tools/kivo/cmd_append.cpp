// kivo append: a program file with an archive behind it and the 6-byte trailer (start offset, "kv").
#include <sys/stat.h>

#include <cstdio>

#include "platform/file_system.h"
#include "platform/kivo_error.h"
#include "support/binary_io.h"
#include "tool_command.h"
#include "vfs/big_file_stream.h"
#include "vfs/file_stream.h"

namespace kivo::tool {

extern const char kAppendHelp[] =
    "usage: kivo append PROGRAM ARCHIVE -o OUT\n"
    "\n"
    "Writes OUT: the bytes of PROGRAM, then ARCHIVE, then a 6-byte trailer (the archive's start\n"
    "offset as int32 and \"kv\") by which the player finds the archive. An archive already\n"
    "appended to PROGRAM is replaced. OUT keeps PROGRAM's permissions. The program part must stay\n"
    "below 2 GiB, since the trailer holds a 32-bit offset.\n";

int AppendCommand(const std::vector<std::string>& args) {
  TArguments a = ParseArguments(args, {"-o"});
  if (a.positional.size() != 2 || !a.Option("-o")) throw TUsageError{"expected PROGRAM, ARCHIVE and -o OUT"};
  const std::string& programPath = a.positional[0];
  const std::string& archivePath = a.positional[1];
  const std::string& out = *a.Option("-o");

  // The archive must read on its own before it is put behind the program.
  auto check = OpenArchive(archivePath);
  if (check->IsResource()) throw EKivoError("ARCHIVE must be an archive file, not a program with a resource");
  check.reset();

  TFileStream program(programPath, FileAccess::Read);
  int64_t programSize = program.Size();
  if (programSize >= 6) {
    char trailer[6];
    program.Seek(programSize - 6, SeekOrigin::Begin);
    program.ReadBuffer(trailer, 6);
    if (trailer[4] == 'k' && trailer[5] == 'v') {
      int64_t start = static_cast<uint8_t>(trailer[0]) | static_cast<uint8_t>(trailer[1]) << 8 |
                      static_cast<uint8_t>(trailer[2]) << 16 | int64_t{static_cast<uint8_t>(trailer[3])} << 24;
      if (start <= programSize - 6) programSize = start;
    }
  }
  if (programSize > 0x7FFFFFFF) throw EKivoError("PROGRAM is too large for the 32-bit trailer offset");

  TTpBigFileStream archive(archivePath, BigFileMode::Read);
  TAtomicFile file(out);
  program.Seek(0, SeekOrigin::Begin);
  if (programSize > 0) file.Stream().CopyFrom(program, programSize);
  archive.Seek(0, SeekOrigin::Begin);
  archive.CopyTo(file.Stream(), 0);
  TBinaryWriter writer(file.Stream());
  writer.Int32(static_cast<int32_t>(programSize));
  writer.FixedText("kv");
  file.Commit();

  struct stat st;
  if (::stat(programPath.c_str(), &st) == 0) ::chmod(out.c_str(), st.st_mode & 07777);
  std::printf("%s: program %lld bytes, archive %lld bytes\n", out.c_str(), static_cast<long long>(programSize),
              static_cast<long long>(archive.Size()));
  return kExitOk;
}

}  // namespace kivo::tool
