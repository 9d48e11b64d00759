#include "diary/Form1Geometry.h"

Form1Geometry Form1Geometry::DesignTime() {
    Form1Geometry g;
    g.Text1 = {180, 60, 8060, 3555};
    g.Label1 = {180, 3750, 4530, 225};
    g.Text2 = {180, 4020, 8055, 855};
    g.Command6 = {120, 5040, 375, 315};
    g.Command1 = {510, 5040, 345, 315};
    g.Combo1 = {900, 5040, 1365, 315};
    g.Command2 = {2310, 5040, 345, 315};
    g.Command5 = {2670, 5040, 375, 315};
    g.Label2 = {3240, 5040, 3315, 255};
    g.Command4 = {5580, 5040, 1000, 400};
    g.Command3 = {6840, 5040, 1000, 400};
    return g;
}
