#include "search/Form3Geometry.h"

Form3Geometry Form3Geometry::DesignTime() {
    Form3Geometry g;
    g.Command2 = {210, 150, 1275, 315};
    g.Text1 = {180, 540, 4335, 315};
    g.Command1 = {1680, 150, 1275, 315};
    g.List1 = {180, 810, 4335, 2400};
    return g;
}

Form3Geometry Form3Geometry::Resized(double outerWidth, double outerHeight) const {
    Form3Geometry g = *this;
    g.Command1.top = 150;
    g.Command2.top = g.Command1.top;
    if (outerWidth - 600 >= 0) {
        g.Text1.width = outerWidth - 600;
    }
    g.List1.width = g.Text1.width;
    if (outerHeight - 1500 >= 0) {
        g.List1.height = outerHeight - 1500;
    }
    return g;
}
