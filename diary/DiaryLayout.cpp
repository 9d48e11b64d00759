#include "diary/DiaryLayout.h"

namespace {

// A control cannot take a negative width or height; the size it has is kept.
void setSize(double& size, double value) {
    if (value >= 0) {
        size = value;
    }
}

} // namespace

// Each step reads the values the steps before it have set.
DiaryGeometry diaryLayout(double W, double H, DiaryGeometry g) {
    setSize(g.pageView.width, W - 500);
    setSize(g.entryBox.width, W - 500);
    setSize(g.pageView.height, H * 0.6);
    g.instructionLabel.top = g.pageView.top + g.pageView.height + 100;
    g.entryBox.top = g.instructionLabel.top + g.instructionLabel.height + 100;
    setSize(g.entryBox.height, H - g.pageView.top - g.pageView.height - g.instructionLabel.height - 200 - 1500 + 100);
    g.pageSelector.top = g.entryBox.top + g.entryBox.height + 200;
    g.previousPageButton.top = g.pageSelector.top;
    g.nextPageButton.top = g.pageSelector.top;
    g.commitButton.top = g.pageSelector.top;
    g.exitButton.top = g.pageSelector.top;
    g.lastPageButton.top = g.pageSelector.top;
    g.firstPageButton.top = g.pageSelector.top;
    g.commitButton.left = g.pageView.left + g.pageView.width - g.commitButton.width;
    g.exitButton.left = g.commitButton.left - g.exitButton.width - 300;
    g.captionLabel.top = g.nextPageButton.top + (g.nextPageButton.height - g.captionLabel.height) / 2;
    return g;
}
