// Linked with every object of quorvex_core and nothing of the windows: the build fails here when an
// object of the core needs Qt Widgets or Qt Gui. It is never run.

int main()
{
    return 0;
}
