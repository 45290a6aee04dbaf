#include <gtest/gtest.h>

#include <algorithm>

#include "app/PasswordGate.h"
#include "tests/unit/app/FakeDriver.h"

namespace veltrane {
namespace {

class CheckingDriver : public testing::FakeDriver {
public:
    bool CheckPassword(const char* password) override {
        FakeDriver::CheckPassword(password);
        return std::string(password) == "admin";
    }
};

class ScriptedPrompt : public PasswordPrompt {
public:
    std::optional<std::string> answer;
    std::function<void()> whileShown;
    std::vector<std::string>* log = nullptr;
    int fronts = 0, asks = 0;
    void BringApplicationToFront() override { ++fronts; }
    bool Ask(const PasswordCheck& check) override {
        ++asks;
        if (whileShown)
            whileShown();
        const bool passed = answer && check(SecretString(std::string(*answer)));
        if (log)
            log->push_back("dialog destroyed");
        return passed;
    }
};

TEST(PasswordGate, RightWrongAndCancelled) {
    CheckingDriver driver;
    PasswordGate gate;
    ScriptedPrompt prompt;
    prompt.log = &driver.calls;
    prompt.answer = "admin";
    EXPECT_TRUE(gate.Pass(prompt, driver));
    prompt.answer = "wrong";
    EXPECT_FALSE(gate.Pass(prompt, driver));
    prompt.answer.reset();
    EXPECT_FALSE(gate.Pass(prompt, driver));
    EXPECT_EQ(driver.calls,
              (std::vector<std::string>{"fcCheckPassword admin", "dialog destroyed", "fcCheckPassword wrong",
                                        "dialog destroyed", "dialog destroyed"}))
        << "checked while the dialog exists; a cancelled dialog does not call the library";
    EXPECT_EQ(prompt.fronts, 3);
    EXPECT_FALSE(gate.IsOpen());
}

TEST(PasswordGate, SecondRequestWhileOpenDoesNothing) {
    CheckingDriver driver;
    PasswordGate gate;
    ScriptedPrompt prompt;
    prompt.answer = "admin";
    bool nested = true;
    prompt.whileShown = [&] {
        EXPECT_TRUE(gate.IsOpen());
        ScriptedPrompt inner;
        inner.answer = "admin";
        nested = gate.Pass(inner, driver);
        EXPECT_EQ(inner.asks, 0);
    };
    EXPECT_TRUE(gate.Pass(prompt, driver));
    EXPECT_FALSE(nested);
    EXPECT_EQ(prompt.asks, 1);
    EXPECT_FALSE(gate.IsOpen());
}

TEST(PasswordGate, FlagIsClearedWhenThePromptThrows) {
    CheckingDriver driver;
    PasswordGate gate;
    ScriptedPrompt prompt;
    prompt.whileShown = [] {
        throw std::runtime_error("dialog failed");
    };
    EXPECT_THROW(gate.Pass(prompt, driver), std::runtime_error);
    EXPECT_FALSE(gate.IsOpen());
}

// Short strings live inside the object, so their bytes stay readable, and a move copies them.
TEST(SecretString, WipesItsBytesAndThoseOfTheStringsItTookOrWasMovedFrom) {
    const auto blank = [](const std::string& s) {
        return std::all_of(s.data(), s.data() + s.capacity(), [](char c) { return c == 0; });
    };
    std::string typed = "abcdefgh";
    SecretString moved(std::move(typed));
    EXPECT_TRUE(blank(typed));
    SecretString secret(std::move(moved));
    EXPECT_TRUE(blank(moved.str()));
    const char* bytes = secret.c_str();
    secret.Wipe();
    EXPECT_EQ(secret.str(), "");
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
}

} // namespace
} // namespace veltrane
