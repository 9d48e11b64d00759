#include "diary/DiaryGeometry.h"

DiaryGeometry DiaryGeometry::designTime() {
    DiaryGeometry g;
    g.pageView = {180, 60, 8060, 3555};
    g.instructionLabel = {180, 3750, 4530, 225};
    g.entryBox = {180, 4020, 8055, 855};
    g.firstPageButton = {120, 5040, 375, 315};
    g.previousPageButton = {510, 5040, 345, 315};
    g.pageSelector = {900, 5040, 1365, 315};
    g.nextPageButton = {2310, 5040, 345, 315};
    g.lastPageButton = {2670, 5040, 375, 315};
    g.captionLabel = {3240, 5040, 3315, 255};
    g.exitButton = {5580, 5040, 1000, 400};
    g.commitButton = {6840, 5040, 1000, 400};
    return g;
}
