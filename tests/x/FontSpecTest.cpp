// The font record on a real display: loaded once, and loaded again when the element
// is given a new font description.
#include "FormWorld.h"

namespace {
class FontSpecTest : public FormTest {
protected:
    RecordingForm& form = MakeRecordingForm();
};
}  // namespace

TEST_F(FontSpecTest, IsLoadedOnceOnFirstUse)
{
    XFontStruct* first = form.GetFont().Get(display);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(form.GetFont().Get(display), first);
    EXPECT_EQ(form.GetFont().name, "-*-*-Medium-R-Normal--14-*");
}

TEST_F(FontSpecTest, SetFontWithANewDescriptionUsesItAtTheNextUse)
{
    ASSERT_NE(form.GetFont().Get(display), nullptr);
    FontSpec bigger;
    bigger.size = 20;
    form.SetFont(bigger);
    form.GetFont().Get(display);
    EXPECT_EQ(form.GetFont().name, "-*-*-Medium-R-Normal--20-*");
}

TEST_F(FontSpecTest, SetFontWithTheSameDescriptionKeepsTheLoadedFont)
{
    XFontStruct* loaded = form.GetFont().Get(display);
    ASSERT_NE(loaded, nullptr);
    form.SetFont(FontSpec{});
    EXPECT_EQ(form.GetFont().Get(display), loaded);
}
