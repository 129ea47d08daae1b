#include "status/status_decision.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

using namespace status;

namespace {

// One decision with the panel's part and the history side by side.
struct Decided {
    std::string caption;
    std::string description;
    std::optional<BalloonRequest> balloon;
    std::int32_t messages = 0;
    bool balloonShown = false;
};

Decided Decide(std::uint8_t result, std::uint8_t state, std::uint8_t flags,
               std::int32_t messages = 0, bool balloonShown = false) {
    StatusOutcome out = DecideStatus({result, state, flags}, {messages, balloonShown});
    return {std::move(out.status.caption), std::move(out.status.description),
            std::move(out.status.balloon), out.history.messages, out.history.balloonShown};
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\x0A\x0D";
    return text;
}

}  // namespace

TEST(StatusDecision, DriverFailuresShowGeneralErrorWithoutLineJoin) {
    struct Row {
        std::uint8_t result;
        const char* description;
        const char* balloon;
    };
    const Row rows[] = {
        {253, "Error while communicating to Korvalen driver",
         "Error while communicating to Korvalen driver"},
        {254, "Failed connect to Korvalen driver", "Failed connect to Korvalen driver"},
        {255, "Korvalen driver works with errors", "Korvalen works with errors"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.result));
        // The aggregations of an older table must not leak into a failure's texts.
        const Decided out = Decide(row.result, 1, 0x3F, kMessagesEvaluated | 0x02);
        EXPECT_EQ(out.caption, "General error");
        EXPECT_EQ(out.description, row.description);
        ASSERT_TRUE(out.balloon.has_value()) << "failures always show while balloons are allowed";
        EXPECT_EQ(out.balloon->text, row.balloon);
        EXPECT_EQ(out.balloon->iconKind, kIconError);
    }
}

TEST(StatusDecision, CaptionsBalloonsAndSingleLineWithoutProblems) {
    const Decided enabled = Decide(0, 0, 0);
    EXPECT_EQ(enabled.caption, "Hypervisor enabled");
    EXPECT_EQ(enabled.description, "Hypervisor works properly\x0A\x0D");
    ASSERT_TRUE(enabled.balloon);
    EXPECT_EQ(enabled.balloon->text, "Korvalen is started and works properly");
    EXPECT_EQ(enabled.balloon->iconKind, kIconInfo);

    const Decided partly = Decide(0, 1, 0);
    EXPECT_EQ(partly.caption, "Hypervisor enabled partly");
    EXPECT_EQ(partly.description, Lines({"Korvalen works with errors"}));
    ASSERT_TRUE(partly.balloon);
    EXPECT_EQ(partly.balloon->text, "Korvalen does not work properly");
    EXPECT_EQ(partly.balloon->iconKind, kIconWarning);

    const Decided off = Decide(0, 2, 0);
    EXPECT_EQ(off.caption, "Hypervisor not enabled");
    EXPECT_EQ(off.description, Lines({"Hypervisor disabled manually"}));
    ASSERT_TRUE(off.balloon);
    EXPECT_EQ(off.balloon->text, "Korvalen does work in Legacy Mode");
    EXPECT_EQ(off.balloon->iconKind, kIconWarning);

    const Decided offWithProblem = Decide(0, 2, 0x08);
    EXPECT_EQ(offWithProblem.balloon->iconKind, kIconError);
}

TEST(StatusDecision, ProblemLinesInOrderPerState) {
    EXPECT_EQ(Decide(0, 1, 0x0F).description,
              Lines({"Not every processor is supported",
                     "Not every processor supports Virtualization Technoligy",
                     "Virtualization Technoligy is not allowed completely in BIOS",
                     "Error while allocating resources"}));
    EXPECT_EQ(Decide(0, 2, 0x3F).description,
              Lines({"Your processor is not supported",
                     "Your processor does not support Virtualization Technoligy",
                     "Virtualization Technoligy is not allowed in BIOS",
                     "Error while allocating resources", "Korvalen driver works with errors"}));
    // Enabled everywhere: the first three problems have no line, so the text may be empty.
    const Decided enabledWithProblems = Decide(0, 0, 0x07);
    EXPECT_EQ(enabledWithProblems.description, "");
    EXPECT_EQ(enabledWithProblems.balloon->iconKind, kIconInfo);
    EXPECT_EQ(Decide(0, 0, 0x18).description,
              Lines({"Error while allocating resources", "Korvalen driver works with errors"}));
}

TEST(StatusDecision, BothDriverErrorFlagsGiveOneLine) {
    const std::string one = Lines({"Korvalen driver works with errors"});
    EXPECT_EQ(Decide(0, 1, 0x10).description, one);
    EXPECT_EQ(Decide(0, 1, 0x20).description, one);
    EXPECT_EQ(Decide(0, 1, 0x30).description, one);
}

TEST(StatusDecision, FirstEvaluationEverShowsEveryBalloonAndSetsBitZero) {
    for (std::uint8_t state = 0; state <= 2; ++state) {
        for (std::uint8_t flags : {0x00, 0x01, 0x20}) {
            const Decided out = Decide(0, state, flags, 0);
            EXPECT_TRUE(out.balloon.has_value()) << int(state) << "/" << int(flags);
            EXPECT_EQ(out.messages, kMessagesEvaluated);
            EXPECT_TRUE(out.balloonShown);
        }
    }
}

TEST(StatusDecision, SelectiveRulesAfterTheFirstEvaluation) {
    const std::int32_t seen = kMessagesEvaluated;
    EXPECT_FALSE(Decide(0, 0, 0, seen).balloon) << "fully enabled is no longer announced";
    EXPECT_FALSE(Decide(0, 0, 0x08, seen).balloon);
    EXPECT_TRUE(Decide(0, 1, 0, seen).balloon);
    EXPECT_TRUE(Decide(0, 2, 0x08, seen).balloon);
    EXPECT_TRUE(Decide(0, 2, 0x08, seen | kMessagesLegacyNoticed).balloon);
    EXPECT_TRUE(Decide(254, 0, 0, seen | kMessagesLegacyNoticed).balloon);
    EXPECT_EQ(Decide(0, 2, 0x08, seen).messages, seen)
        << "only the notice without problems sets bit 1";
}

TEST(StatusDecision, LegacyModeNoticeShowsTwiceThenNever) {
    std::int32_t messages = 0;
    bool shown[3] = {};
    for (bool& s : shown) {
        const Decided out = Decide(0, 2, 0, messages, /*balloonShown=*/false);
        s = out.balloon.has_value();
        messages = out.messages;
    }
    EXPECT_TRUE(shown[0]);
    EXPECT_TRUE(shown[1]);
    EXPECT_FALSE(shown[2]);
    EXPECT_EQ(messages, 3);
}

TEST(StatusDecision, NoBalloonOnceShownButTextsStillRewritten) {
    const Decided out = Decide(0, 2, 0, 0, /*balloonShown=*/true);
    EXPECT_FALSE(out.balloon);
    EXPECT_EQ(out.messages, 0) << "Messages does not change without a balloon evaluation";
    EXPECT_TRUE(out.balloonShown);
    EXPECT_EQ(out.caption, "Hypervisor not enabled");
    EXPECT_EQ(out.description, Lines({"Hypervisor disabled manually"}));
    EXPECT_FALSE(Decide(253, 0, 0, 0, true).balloon);
}

TEST(StatusDecision, OtherMessagesBitsSurvive) {
    const std::int32_t others = static_cast<std::int32_t>(0x80000000u | 0x7FFFFF00u | 0x04u);
    EXPECT_EQ(Decide(0, 2, 0, others).messages, others | kMessagesEvaluated);
    EXPECT_EQ(Decide(0, 2, 0, others | kMessagesEvaluated).messages, others | 0x03);
    EXPECT_EQ(Decide(255, 0, 0, others).messages, others | kMessagesEvaluated);
    EXPECT_EQ(Decide(0, 0, 0, -1, true).messages, -1);
}

TEST(StatusDecision, ThePanelGetsTheReadingAsItCame) {
    const StatusOutcome read = DecideStatus({0, 1, 0x24}, {});
    EXPECT_EQ(read.status.reading.driverResult, 0);
    EXPECT_EQ(read.status.reading.hypervisorState, 1);
    EXPECT_EQ(read.status.reading.problemFlags, 0x24);
    // A failed read hands on the older table's aggregations untouched, and a state outside
    // the three is shown as not enabled but handed on as it is.
    const StatusOutcome failed = DecideStatus({254, 2, 0x08}, {});
    EXPECT_EQ(failed.status.reading.driverResult, 254);
    EXPECT_EQ(failed.status.reading.hypervisorState, 2);
    EXPECT_EQ(failed.status.reading.problemFlags, 0x08);
    const StatusOutcome odd = DecideStatus({0, 7, 0}, {});
    EXPECT_EQ(odd.status.reading.hypervisorState, 7);
    EXPECT_EQ(odd.status.caption, "Hypervisor not enabled");
}

TEST(StatusDecision, LineJoinIsLineFeedThenCarriageReturn) {
    EXPECT_EQ(AppendDescriptionLine("", "a"), std::string("a\n\r"));
    EXPECT_EQ(AppendDescriptionLine("a\n\r", "b"), std::string("a\n\rb\n\r"));
}
