#include "diary/Form1Layout.h"

namespace {

// A control cannot take a negative width or height; the size it has is kept.
void setSize(double& size, double value) {
    if (value >= 0) {
        size = value;
    }
}

} // namespace

// Each step reads the values the steps before it have set.
Form1Geometry Form1Layout(double W, double H, Form1Geometry g) {
    setSize(g.Text1.width, W - 500);
    setSize(g.Text2.width, W - 500);
    setSize(g.Text1.height, H * 0.6);
    g.Label1.top = g.Text1.top + g.Text1.height + 100;
    g.Text2.top = g.Label1.top + g.Label1.height + 100;
    setSize(g.Text2.height, H - g.Text1.top - g.Text1.height - g.Label1.height - 200 - 1500 + 100);
    g.Combo1.top = g.Text2.top + g.Text2.height + 200;
    g.Command1.top = g.Combo1.top;
    g.Command2.top = g.Combo1.top;
    g.Command3.top = g.Combo1.top;
    g.Command4.top = g.Combo1.top;
    g.Command5.top = g.Combo1.top;
    g.Command6.top = g.Combo1.top;
    g.Command3.left = g.Text1.left + g.Text1.width - g.Command3.width;
    g.Command4.left = g.Command3.left - g.Command4.width - 300;
    g.Label2.top = g.Command2.top + (g.Command2.height - g.Label2.height) / 2;
    return g;
}
