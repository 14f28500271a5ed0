// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"

#include <new>

namespace miradel {

static std::string ComposeReport(const std::string& message, const std::string& file, long long line)
{
    if (file.empty())
        return message;
    if (line > 0)
        return file + ":" + std::to_string(line) + ": " + message;
    return file + ": " + message;
}

RuntimeError::RuntimeError(std::string message, std::string file, long long line)
    : std::runtime_error(ComposeReport(message, file, line))
    , m_message(std::move(message))
    , m_file(std::move(file))
    , m_line(line)
{
}

std::string RuntimeError::Report() const
{
    return what();
}

std::string RuntimeError::EnglishReport() const
{
    return m_english.empty() ? std::string() : ComposeReport(m_english, m_file, m_line);
}

RuntimeError CaughtAsRuntimeError()
{
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RuntimeError("メモリが足りません");
    } catch (const std::exception& error) {
        return RuntimeError(std::string("内部エラー: ") + error.what());
    }
}

std::string FatalErrorText(const RuntimeError& error, const std::string& gameFolder)
{
    // Only errors about a content file say where the game was looked for.
    const bool inGame = !error.File().empty() && !gameFolder.empty();
    return "エラーが発生したため、終了します。\n\n" + error.Report()
        + (inGame ? "\n\nゲームフォルダ: " + gameFolder : "");
}

std::string QuoteLine(TextView line)
{
    Text shown(line.substr(0, kQuotedCharacters));
    for (char16_t& c : shown) {
        if (c < 0x20)
            c = static_cast<char16_t>(0x2400 + c);
    }
    if (line.size() > kQuotedCharacters)
        shown += u'…';
    return TextToUtf8(shown);
}

} // namespace miradel
