// Byte streams from the console: the CRC-32 of a file, and PackBits packing and unpacking.
// Whole files are packed and unpacked through the buffered file streams; what the streams
// throw reaches the shell, which says what failed.
#include "HostServices.h"
#include "Shell.h"

#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>

#include <cstdio>
#include <ostream>
#include <stdexcept>

namespace tarnsh {

namespace {

namespace fsup = tarncore::filesupport;

constexpr std::uint32_t kBufferSize = 32768;
constexpr std::uint32_t kGranule = 4096;

fsup::File FileOf(const std::string& inPath) { return fsup::File(PathArgument(inPath)); }

const CommandSet sStreamCommands([](Shell& shell) {
    shell.Add("crc32", "crc32 <file>", "Prints the CRC-32 (as zlib computes it) and the length of a file.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 2) throw std::invalid_argument("usage: crc32 <file>");
                  fsup::IPlatformByteStream in(FileOf(args[1]));
                  fsup::OCountingByteStream counter;
                  fsup::OCRCByteStream crc(counter);
                  crc << in;
                  char value[16];
                  std::snprintf(value, sizeof value, "%08X", static_cast<unsigned>(crc.Value()));
                  out << value << "  " << counter.Count() << " bytes  " << args[1] << "\n";
              });
    shell.Add("pack", "pack <file> <packed file>",
              "Writes a file run-length coded (PackBits); an existing packed file is replaced.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 3) throw std::invalid_argument("usage: pack <file> <packed file>");
                  fsup::IPlatformByteStream in(FileOf(args[1]));
                  // The packed file takes its place only when it is whole, so a
                  // failure leaves the old one, and a file may be packed onto itself.
                  fsup::OReplacingPlatformByteStream file(FileOf(args[2]));
                  fsup::OBufferedByteStream buffered(file, kBufferSize, kGranule);
                  fsup::ORLEByteStream packed(buffered);
                  packed << in;
                  packed.Flush();
                  buffered.Flush();
                  const std::uint64_t length = file.Length();
                  file.Commit();
                  out << in.Length() << " bytes packed into " << length << "\n";
              });
    shell.Add("unpack", "unpack <packed file> <file>",
              "Writes the bytes of a run-length coded (PackBits) file; an existing file is replaced.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 3) throw std::invalid_argument("usage: unpack <packed file> <file>");
                  fsup::IPlatformByteStream file(FileOf(args[1]));
                  fsup::IBufferedByteStream buffered(file, kBufferSize, kGranule);
                  fsup::IRLEByteStream packed(buffered);
                  // Packed data that ends early leaves an existing file as it was.
                  fsup::OReplacingPlatformByteStream plain(FileOf(args[2]));
                  fsup::OBufferedByteStream written(plain, kBufferSize, kGranule);
                  written << packed;
                  written.Flush();
                  const std::uint64_t length = plain.Length();
                  plain.Commit();
                  out << file.Length() << " bytes unpacked into " << length << "\n";
              });
});

}  // namespace

}  // namespace tarnsh
