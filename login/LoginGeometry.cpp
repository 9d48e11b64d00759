#include "login/LoginGeometry.h"

LoginGeometry LoginGeometry::designTime() {
    LoginGeometry g;
    g.loginFrame = {150, 1470, 4065, 1875};
    g.memberSelector = {1230, 330, 2595, 315};
    g.passwordBox = {1230, 750, 2595, 345};
    g.exitButton = {300, 1290, 1000, 400};
    g.addMemberButton = {1530, 1290, 1000, 400};
    g.okButton = {2760, 1290, 1000, 400};
    g.memberLabel = {330, 360, 720, 195};
    g.passwordLabel = {330, 870, 690, 195};
    g.titleLabel = {660, 300, 2910, 480};
    g.descriptionLabel = {150, 900, 4110, 585};
    g.contactLabel = {2340, 60, 1965, 210};
    return g;
}
