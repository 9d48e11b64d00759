#include "search/FindResultsGeometry.h"

FindResultsGeometry FindResultsGeometry::designTime() {
    FindResultsGeometry g;
    g.closeButton = {210, 150, 1275, 315};
    g.columnHeader = {180, 540, 4335, 315};
    g.openButton = {1680, 150, 1275, 315};
    g.resultList = {180, 810, 4335, 2400};
    return g;
}

FindResultsGeometry FindResultsGeometry::resized(double outerWidth, double outerHeight) const {
    FindResultsGeometry g = *this;
    g.openButton.top = 150;
    g.closeButton.top = g.openButton.top;
    if (outerWidth - 600 >= 0) {
        g.columnHeader.width = outerWidth - 600;
    }
    g.resultList.width = g.columnHeader.width;
    if (outerHeight - 1500 >= 0) {
        g.resultList.height = outerHeight - 1500;
    }
    return g;
}
