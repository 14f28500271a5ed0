// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

#include <new>

namespace miradel {

template <typename Exception> static RuntimeError Caught(const Exception& exception)
{
    try {
        throw exception;
    } catch (const std::exception&) {
        return CaughtAsRuntimeError();
    }
}

TEST(RuntimeError, EveryFailureEndsWithAMessageForThePlayer)
{
    const RuntimeError content("シナリオファイルが見つかりません", "txt/opn.dat", 3);
    EXPECT_EQ(Caught(content).Report(), "txt/opn.dat:3: シナリオファイルが見つかりません");
    EXPECT_EQ(Caught(std::bad_alloc()).Report(), "メモリが足りません");
    EXPECT_EQ(Caught(std::logic_error("x")).Report(), "内部エラー: x");
    EXPECT_EQ(FatalErrorText(content, "/games/a/"),
        "エラーが発生したため、終了します。\n\ntxt/opn.dat:3: シナリオファイルが見つかりません\n\nゲームフォルダ: "
        "/games/a/");
    EXPECT_EQ(FatalErrorText(Caught(std::bad_alloc()), "/games/a/"),
        "エラーが発生したため、終了します。\n\nメモリが足りません");
}

} // namespace miradel
