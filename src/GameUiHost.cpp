#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        GameUiHost defaultHost;
        GameUiHost* installed = nullptr;
    } // namespace

    GameUiHost::~GameUiHost()
    {
        this->uninstall();
    }

    void GameUiHost::uninstall()
    {
        if (installed == this)
        {
            installed = nullptr;
        }
    }

    void setGameUiHost(GameUiHost* host)
    {
        installed = host;
    }

    GameUiHost& getGameUiHost()
    {
        return installed != nullptr ? *installed : defaultHost;
    }

    GameUiHost* findGameUiHost()
    {
        return installed;
    }
} // namespace vumo
