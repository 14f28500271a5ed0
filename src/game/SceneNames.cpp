// SPDX-License-Identifier: MIT
#include "game/SceneNames.h"

namespace miradel {

const std::vector<Text>& ScenesTheGameOpens()
{
    static const std::vector<Text> names = [] {
        std::vector<Text> list { u"opn", u"not", u"0", u"1", u"2", u"3", u"end0", u"end1", u"end2" };
        for (char16_t first : { u'0', u'1', u'2', u'3' }) {
            for (char16_t second : { u'0', u'1', u'2', u'3' })
                list.push_back(Text { first, second });
        }
        return list;
    }();
    return names;
}

const std::vector<Text>& PicturesTheGameShows()
{
    static const std::vector<Text> names { u"ttl", u"0", u"1", u"2", u"3", u"4", u"end0", u"end1", u"end2" };
    return names;
}

const std::vector<Text>& BlinkingPictures()
{
    static const std::vector<Text> names { u"0", u"1", u"2", u"3", u"4" };
    return names;
}

} // namespace miradel
