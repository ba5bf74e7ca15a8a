#include "addins/olvide/ui/Main.h"
#include "tests/addins/ui/FormChecks.h"
#include "tests/support/RecordingUiService.h"

#include <gtest/gtest.h>

TEST(OlvideOperatorTest, PageKeepsItsControlsAndTextsOnEveryModel)
{
    // The models differ in the symbology boxes they show.
    for (int model : {900, 1300}) {
        SCOPED_TRACE(model);
        addintest::handOverNewJob(model);
        testsupport::RecordingUi ui;
        olvide::TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        addintest::expectEveryPageStays(form);
    }
}
