// SPDX-License-Identifier: MIT
#include "platform/TextFiles.h"

#include "platform/ContentOpen.h"
#include "platform/Cp932.h"
#include "platform/LineReader.h"
#include "platform/RuntimeError.h"

#include <cerrno>
#include <cstdio>
#include <limits>
#include <system_error>
#include <unistd.h>

namespace miradel {

namespace {

constexpr const char* kMessageNotFound = "シナリオファイルが見つかりません";
constexpr const char* kMessageUnreadable = "ファイルを読めません";
constexpr const char* kMessagePastEnd = "ファイルの終わりを越えて読もうとしました";
constexpr const char* kEnglishNotFound = "scene file not found";
constexpr const char* kEnglishUnreadable = "cannot read the file";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string NumberText(std::int16_t number)
{
    return std::to_string(number);
}

[[noreturn]] void ThrowNotOpen(std::int16_t number)
{
    throw RuntimeError("ファイル番号 " + NumberText(number) + " のファイルは開かれていません");
}

FileHandle OpenForReading(const std::filesystem::path& path, const std::string& shownName)
{
    OpenFailure failure = OpenFailure::None;
    const int descriptor = OpenContentFile(path, failure);
    if (descriptor < 0 && failure == OpenFailure::Missing)
        throw RuntimeError(kMessageNotFound, shownName).InEnglish(kEnglishNotFound);
    if (descriptor < 0)
        throw RuntimeError(kMessageUnreadable, shownName).InEnglish(kEnglishUnreadable);
    FileHandle file(::fdopen(descriptor, "rb"));
    if (!file) {
        ::close(descriptor);
        throw RuntimeError(kMessageUnreadable, shownName).InEnglish(kEnglishUnreadable);
    }
    return file;
}

} // namespace

// The reader is declared after the file, so it is destroyed before the file closes.
struct TextFiles::OpenFile {
    OpenFile(FileHandle openedFile, std::string name)
        : file(std::move(openedFile))
        , reader(file.get())
        , shownName(std::move(name))
    {
    }
    OpenFile(std::string_view bytes, std::string name)
        : reader(bytes)
        , shownName(std::move(name))
    {
    }
    OpenFile(const std::vector<Text>& decodedLines, std::string name)
        : reader(std::string_view())
        , shownName(std::move(name))
        , lines(&decodedLines)
    {
    }

    FileHandle file;
    LineReader reader;
    std::string shownName;
    long long linesRead = 0;
    std::string lineBytes;
    // Lines decoded already, read instead of the reader's.
    const std::vector<Text>* lines = nullptr;

    bool LinesAtEnd() const { return static_cast<std::size_t>(linesRead) >= lines->size(); }
};

TextFiles::TextFiles() = default;
TextFiles::~TextFiles() = default;

std::int16_t TextFiles::FreeFile() const
{
    std::int16_t number = 1;
    // The map is ordered, so the first gap in the numbers is the answer.
    for (const auto& [used, file] : m_files) {
        if (used > number)
            break;
        if (used == number) {
            if (number == std::numeric_limits<std::int16_t>::max())
                throw RuntimeError("空いているファイル番号がありません");
            ++number;
        }
    }
    return number;
}

void TextFiles::CheckNumberFree(std::int16_t number, const std::string& shownName) const
{
    if (number < 1)
        throw RuntimeError("ファイル番号 " + NumberText(number) + " は使えません", shownName);
    if (IsOpen(number))
        throw RuntimeError(
            "ファイル番号 " + NumberText(number) + " はすでに " + ShownName(number) + " に使われています", shownName);
}

void TextFiles::OpenBytes(std::int16_t number, std::string_view bytes, const std::string& shownName)
{
    CheckNumberFree(number, shownName);
    m_files.emplace(number, std::make_unique<OpenFile>(bytes, shownName));
}

void TextFiles::OpenLines(std::int16_t number, const std::vector<Text>& lines, const std::string& shownName)
{
    CheckNumberFree(number, shownName);
    m_files.emplace(number, std::make_unique<OpenFile>(lines, shownName));
}

void TextFiles::Open(std::int16_t number, const std::filesystem::path& path, const std::string& shownName)
{
    CheckNumberFree(number, shownName);
    auto file = std::make_unique<OpenFile>(OpenForReading(path, shownName), shownName);
    // Reading ahead here reports a folder or an unreadable device at the Open, not later.
    try {
        file->reader.AtEnd();
    } catch (const std::system_error&) {
        throw RuntimeError(kMessageUnreadable, shownName).InEnglish(kEnglishUnreadable);
    }
    m_files.emplace(number, std::move(file));
}

Text TextFiles::LineInput(std::int16_t number)
{
    const auto found = m_files.find(number);
    if (found == m_files.end())
        ThrowNotOpen(number);
    OpenFile& file = *found->second;
    if (file.lines) {
        if (file.LinesAtEnd())
            throw RuntimeError(kMessagePastEnd, file.shownName, file.linesRead + 1);
        return (*file.lines)[static_cast<std::size_t>(file.linesRead++)];
    }
    try {
        if (!file.reader.ReadLine(file.lineBytes))
            throw RuntimeError(kMessagePastEnd, file.shownName, file.linesRead + 1);
    } catch (const std::system_error&) {
        throw RuntimeError(kMessageUnreadable, file.shownName, file.linesRead + 1).InEnglish(kEnglishUnreadable);
    }
    ++file.linesRead;
    return DecodeCp932(file.lineBytes);
}

bool TextFiles::AtEnd(std::int16_t number) const
{
    const auto found = m_files.find(number);
    if (found == m_files.end())
        ThrowNotOpen(number);
    OpenFile& file = *found->second;
    if (file.lines)
        return file.LinesAtEnd();
    try {
        return file.reader.AtEnd();
    } catch (const std::system_error&) {
        throw RuntimeError(kMessageUnreadable, file.shownName, file.linesRead + 1);
    }
}

void TextFiles::Close(std::int16_t number)
{
    m_files.erase(number);
}

bool TextFiles::IsOpen(std::int16_t number) const
{
    return m_files.contains(number);
}

const std::string& TextFiles::ShownName(std::int16_t number) const
{
    static const std::string kNone;
    const auto found = m_files.find(number);
    return found == m_files.end() ? kNone : found->second->shownName;
}

long long TextFiles::LinesRead(std::int16_t number) const
{
    const auto found = m_files.find(number);
    return found == m_files.end() ? 0 : found->second->linesRead;
}

} // namespace miradel
