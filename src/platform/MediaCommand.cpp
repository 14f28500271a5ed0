// SPDX-License-Identifier: MIT
#include "platform/MediaCommand.h"

#include <algorithm>
#include <utility>

namespace miradel {

namespace {

constexpr char ToLowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Hands out the blank-separated words of a command; a word starting with a double quote runs
// to the next double quote, so a quoted path may hold blanks.
class Words {
public:
    explicit Words(std::string_view text)
        : m_rest(text)
    {
    }

    bool AtEnd()
    {
        SkipBlanks();
        return m_rest.empty();
    }

    // Empty when no word is left or a quote is not closed.
    std::string_view Next()
    {
        SkipBlanks();
        const bool toLast = std::exchange(m_quotedToLast, false);
        if (!m_rest.empty() && m_rest.front() == '"') {
            const std::size_t close = toLast ? m_rest.rfind('"') : m_rest.find('"', 1);
            if (close == 0 || close == std::string_view::npos) {
                m_rest = {};
                return {};
            }
            const std::string_view quoted = m_rest.substr(1, close - 1);
            m_rest.remove_prefix(close + 1);
            return quoted;
        }
        const std::size_t end = std::min(m_rest.find(' '), m_rest.size());
        const std::string_view word = m_rest.substr(0, end);
        m_rest.remove_prefix(end);
        return word;
    }

    // The next word, when quoted, runs to the last double quote of the command: a path is
    // put between quotes as it is, so it may hold quotes of its own, and the words after
    // it never hold one.
    void TakeQuotedToLastQuote() { m_quotedToLast = true; }

private:
    void SkipBlanks()
    {
        while (!m_rest.empty() && m_rest.front() == ' ')
            m_rest.remove_prefix(1);
    }

    std::string_view m_rest;
    bool m_quotedToLast = false;
};

bool ParseVerb(std::string_view word, MediaVerb& verb)
{
    constexpr std::pair<std::string_view, MediaVerb> kVerbs[] = {
        { "open", MediaVerb::Open },
        { "close", MediaVerb::Close },
        { "play", MediaVerb::Play },
        { "seek", MediaVerb::Seek },
        { "status", MediaVerb::Status },
    };
    for (const auto& [name, value] : kVerbs) {
        if (EqualsIgnoringCase(word, name)) {
            verb = value;
            return true;
        }
    }
    return false;
}

// The words after the alias (after the path for open). Each verb takes its own.
MediaResult ParseOptions(Words& words, MediaCommand& parsed)
{
    bool seekTarget = false;
    bool statusItem = false;
    while (!words.AtEnd()) {
        const std::string_view word = words.Next();
        const MediaVerb verb = parsed.verb;
        if (EqualsIgnoringCase(word, "notify") && verb != MediaVerb::Status)
            continue;
        if (verb == MediaVerb::Open && EqualsIgnoringCase(word, "alias") && !words.AtEnd()) {
            parsed.alias = words.Next();
        } else if (verb == MediaVerb::Play && EqualsIgnoringCase(word, "from") && !words.AtEnd()) {
            // Positions other than the beginning are never asked for.
            if (words.Next() != "0")
                return MediaResult::BadParameter;
            parsed.fromStart = true;
        } else if (verb == MediaVerb::Seek && EqualsIgnoringCase(word, "to") && !words.AtEnd()) {
            if (!EqualsIgnoringCase(words.Next(), "start"))
                return MediaResult::BadParameter;
            seekTarget = true;
        } else if (verb == MediaVerb::Status && EqualsIgnoringCase(word, "mode") && !statusItem) {
            statusItem = true;
        } else {
            return MediaResult::BadParameter;
        }
    }
    if ((parsed.verb == MediaVerb::Seek && !seekTarget) || (parsed.verb == MediaVerb::Status && !statusItem))
        return MediaResult::BadParameter;
    return MediaResult::Ok;
}

} // namespace

bool EqualsIgnoringCase(std::string_view left, std::string_view right)
{
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(), [](char a, char b) {
        return ToLowerAscii(a) == ToLowerAscii(b);
    });
}

MediaResult ParseMediaCommand(std::string_view command, MediaCommand& parsed)
{
    parsed = MediaCommand {};
    Words words(command);
    if (!ParseVerb(words.Next(), parsed.verb))
        return MediaResult::UnrecognizedCommand;
    if (parsed.verb == MediaVerb::Open)
        words.TakeQuotedToLastQuote();
    const std::string_view name = words.Next();
    if (name.empty())
        return MediaResult::BadParameter;
    if (parsed.verb == MediaVerb::Open)
        parsed.path = name;
    // Opened without an alias, a file goes by its own name.
    parsed.alias = name;
    return ParseOptions(words, parsed);
}

} // namespace miradel
