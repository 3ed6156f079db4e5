# The web view on WebKitGTK: the engine's start, the shared profile, the view and its dialogs.

add_library(orvane_web STATIC
    platform/web/Address.cpp platform/web/Address.h
    platform/web/Authentication.cpp platform/web/Authentication.h
    platform/web/ContextMenu.cpp platform/web/ContextMenu.h
    platform/web/CredentialsDialog.cpp platform/web/CredentialsDialog.h
    platform/web/DefaultServices.cpp
    platform/web/Downloads.cpp platform/web/Downloads.h
    platform/web/Engine.cpp platform/web/Engine.h
    platform/web/EngineChoice.cpp platform/web/EngineChoice.h
    platform/web/ErrorPage.cpp platform/web/ErrorPage.h
    platform/web/GObjectPtr.h
    platform/web/PagePolicy.cpp platform/web/PagePolicy.h
    platform/web/PopupWindow.cpp platform/web/PopupWindow.h
    platform/web/PrintPreview.cpp platform/web/PrintPreview.h
    platform/web/PrintSave.cpp platform/web/PrintSave.h
    platform/web/SaveDialog.cpp platform/web/SaveDialog.h
    platform/web/StoppedNotice.cpp platform/web/StoppedNotice.h
    platform/web/WebContext.cpp platform/web/WebContext.h
    platform/web/WebKitView.cpp platform/web/WebKitView.h
    platform/web/WebView.h
    platform/web/WebViewServices.h
    platform/web/XcbOpenGLProbe.cpp platform/web/XcbOpenGLProbe.h)
target_include_directories(orvane_web PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(orvane_web
    PUBLIC orvane_logic PkgConfig::GTK3 PkgConfig::WEBKIT
    PRIVATE PkgConfig::XCB PkgConfig::XCB_OPENGL_PROBE)
