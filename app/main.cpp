#include "app/sorvane_app.h"

int main(int argc, char** argv) {
    CSorvaneApp app(argc, argv);
    if (!app.InitInstance()) {
        return app.ExitInstance();
    }
    app.exec();
    return app.ExitInstance();
}
