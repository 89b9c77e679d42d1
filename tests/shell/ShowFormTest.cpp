#include "actions/uActionList.h"
#include "actions/uNvSwitch.h"
#include "shell/main.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace {

void processEventsUntil(const std::function<bool()> &done, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

TEST(ShowForm, WindowGeometryAndTitle)
{
    TShowForm form;
    EXPECT_EQ(form.size(), TShowForm::kInitialSize);
    EXPECT_EQ(form.minimumSize(), QSize(708, 522));
    EXPECT_EQ(form.windowTitle(), "Kadrex 6.2.1 en by Norvane");
    EXPECT_EQ(form.gpal()->Actions().size(), 68);
}

TEST(ShowForm, CommandLineRunsOnceAfterTheFirstShowAndQuits)
{
    TShowForm form;
    form.switchProcessor()->SetArguments({"/p1=a=b", "/DIG=5", "-bw", "+bw", "/ci=vrai", "/quit"});
    EXPECT_FALSE(form.switchProcessor()->Processed()); // nothing before the window shows
    form.show();
    processEventsUntil([&] { return !form.isVisible(); });

    EXPECT_FALSE(form.isVisible());
    const TNvActionList &gpal = *form.gpal();
    EXPECT_EQ(gpal.Find<TWidestringAction>("waInsertPerso1")->Value(), "a=b");
    EXPECT_EQ(gpal.Find<TIntegerAction>("iaDigits")->Value(), 5);
    EXPECT_TRUE(gpal.Find<TCheckAction>("caBasculerVue")->Checked());
    EXPECT_TRUE(gpal.Find<TBooleanAction>("baConfirmerImage")->Value());
}
