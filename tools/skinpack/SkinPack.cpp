// Builds and inspects skin packages with the program's own reader and decoder.
//
//   skinpack pack DIR OUT     version 40000 package of DIR's members, written as a "SkinStream"
//                             value (32-bit count, then the packed bytes); the order of members
//                             comes from DIR/package.lst, else from the sorted file names
//   skinpack unpack IN OUT    IN: 32-bit size and an LZHUF stream; OUT: every byte decoded
//   skinpack list IN          IN: a "SkinStream" value; stored name, size[, WxHxBPP] per member
//   skinpack cat IN NAME      the member found by name, to standard output
//
// Any failure: one line on standard error and exit code 1.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "toolkit/skin/Bmp.h"
#include "toolkit/skin/Lzh.h"
#include "toolkit/skin/SkinReader.h"

namespace {

using veltrane::AppendLe32;
using veltrane::LoadLeI32;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kMemberOrderFile = "package.lst";
constexpr std::size_t kReservedBlockSize = 80;
// The tool may unpack larger streams than a skin, but not unbounded ones.
constexpr std::int64_t kMaxUnpackSize = 256 * 1024 * 1024;

class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The package reader reports a wrong version through here; the tool turns it into its error line.
class QuietSink : public veltrane::MessageSink {
public:
    void ShowMessage(std::wstring_view) override {}
};

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ToolError("cannot open " + path.string());
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw ToolError("cannot read " + path.string());
    return bytes;
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    if (path.has_parent_path()) {
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        throw ToolError("cannot write " + path.string());
}

std::vector<std::string> MemberOrder(const fs::path& dir) {
    std::vector<std::string> names;
    if (fs::exists(dir / kMemberOrderFile)) {
        std::ifstream list(dir / kMemberOrderFile);
        for (std::string line; std::getline(list, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                names.push_back(line);
        }
        return names;
    }
    if (!fs::is_directory(dir))
        throw ToolError(dir.string() + " is not a folder");
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Bytes BuildPackage(const fs::path& dir) {
    const std::vector<std::string> names = MemberOrder(dir);
    if (names.empty())
        throw ToolError("no members in " + dir.string());
    if (names.size() > veltrane::kMaxSkinMembers)
        throw ToolError("more than " + std::to_string(veltrane::kMaxSkinMembers) + " members");
    std::string list;
    std::vector<Bytes> data;
    for (const std::string& name : names) {
        if (name.find_first_of("\r\n") != std::string::npos)
            throw ToolError("member name with a line break");
        list += name + "\r\n";
        data.push_back(ReadFile(dir / name));
    }
    Bytes package;
    AppendLe32(package, std::uint32_t(veltrane::kSkinVersion4));
    AppendLe32(package, std::uint32_t(list.size()));
    AppendLe32(package, 0);
    AppendLe32(package, 0);
    package.resize(package.size() + kReservedBlockSize, 0);
    package.insert(package.end(), list.begin(), list.end());
    for (const Bytes& member : data)
        AppendLe32(package, std::uint32_t(member.size()));
    for (const Bytes& member : data)
        package.insert(package.end(), member.begin(), member.end());
    if (package.size() > std::size_t(veltrane::kMaxUnpackedSkinSize))
        throw ToolError("package larger than a skin may be");
    return package;
}

int Pack(const fs::path& dir, const fs::path& out) {
    const Bytes packed = veltrane::TLZH::EncodeWithSize(BuildPackage(dir));
    Bytes value;
    AppendLe32(value, std::uint32_t(packed.size()));
    value.insert(value.end(), packed.begin(), packed.end());
    WriteFile(out, value);
    return 0;
}

int Unpack(const fs::path& in, const fs::path& out) {
    const Bytes stream = ReadFile(in);
    if (stream.size() < 4)
        throw ToolError(in.string() + ": shorter than its 4-byte size");
    const std::int32_t size = LoadLeI32(stream, 0);
    if (size < 0 || size > kMaxUnpackSize)
        throw ToolError(in.string() + ": unpacked size " + std::to_string(size) + " out of range");
    WriteFile(out, veltrane::TLZH::Decode(std::span(stream).subspan(4), size));
    return 0;
}

// An opened package from a "SkinStream" value; nothing opened for a count of zero or less.
bool OpenValue(const fs::path& in, veltrane::TSkinReader& reader) {
    const Bytes value = ReadFile(in);
    if (value.size() < 4)
        throw ToolError(in.string() + ": shorter than its 4-byte count");
    const std::int32_t count = LoadLeI32(value, 0);
    if (count <= 0)
        return false;
    if (std::size_t(count) > value.size() - 4)
        throw ToolError(in.string() + ": count " + std::to_string(count) + " runs past the end");
    QuietSink sink;
    if (!reader.Open(std::span(value).subspan(4, std::size_t(count)), sink))
        throw ToolError(in.string() + ": " + reader.Error());
    return true;
}

int List(const fs::path& in) {
    veltrane::TSkinReader reader;
    if (!OpenValue(in, reader))
        return 0;
    for (std::size_t i = 0; i < reader.MemberCount(); ++i) {
        const veltrane::TSkinReader::Member m = reader.MemberAt(i);
        std::string line = reader.StoredNames()[i] + "\t" + std::to_string(m.data.size());
        std::string error;
        if (m.name.ends_with(".bmp"))
            if (const auto bmp = veltrane::ParseBmp(m.data, error))
                line += "\t" + std::to_string(bmp->width) + "x" + std::to_string(bmp->height) + "x" +
                        std::to_string(bmp->bitsPerPixel);
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

int Cat(const fs::path& in, const std::string& name) {
    veltrane::TSkinReader reader;
    const bool opened = OpenValue(in, reader);
    const std::string wanted = veltrane::AsciiLowered(name);
    if (!opened || std::find(reader.Names().begin(), reader.Names().end(), wanted) == reader.Names().end())
        throw ToolError("no member named " + name);
    const std::span<const std::uint8_t> data = reader.MemberByName(name);
    if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size() || std::fflush(stdout) != 0)
        throw ToolError("cannot write to standard output");
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "pack")
        return Pack(args[1], args[2]);
    if (args.size() == 3 && args[0] == "unpack")
        return Unpack(args[1], args[2]);
    if (args.size() == 2 && args[0] == "list")
        return List(args[1]);
    if (args.size() == 3 && args[0] == "cat")
        return Cat(args[1], args[2]);
    throw ToolError("usage: skinpack pack DIR OUT | unpack IN OUT | list IN | cat IN NAME");
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "skinpack: unexpected failure\n");
    }
    return 1;
}
