#pragma once

// Loopback stream servers for tests and benchmarks: an RTSP server run in its
// own thread, a listener that accepts and never answers, and a closed port.

#include <gst/rtsp-server/rtsp-server.h>

#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

#include <string>
#include <thread>

class CLoopbackRtspServer
{
public:
    ~CLoopbackRtspServer() { Stop(); }

    // Serves the launch line (its payloader named pay0) at /test on 127.0.0.1;
    // shared: every client joins one running stream, else each gets its own.
    bool Start(const std::string& strLaunch, bool bShared = true)
    {
        gst_init(nullptr, nullptr);
        m_pContext = g_main_context_new();
        m_pLoop = g_main_loop_new(m_pContext, FALSE);
        m_pServer = gst_rtsp_server_new();
        gst_rtsp_server_set_address(m_pServer, "127.0.0.1");
        gst_rtsp_server_set_service(m_pServer, "0");
        GstRTSPMountPoints* pMounts = gst_rtsp_server_get_mount_points(m_pServer);
        GstRTSPMediaFactory* pFactory = gst_rtsp_media_factory_new();
        gst_rtsp_media_factory_set_launch(pFactory, strLaunch.c_str());
        gst_rtsp_media_factory_set_shared(pFactory, bShared);
        gst_rtsp_mount_points_add_factory(pMounts, "/test", pFactory);
        g_object_unref(pMounts);
        m_nSourceId = gst_rtsp_server_attach(m_pServer, m_pContext);
        if (m_nSourceId == 0)
            return false;
        m_nPort = gst_rtsp_server_get_bound_port(m_pServer);
        m_thread = std::thread([this] { g_main_loop_run(m_pLoop); });
        return m_nPort > 0;
    }

    std::string Url() const { return "rtsp://127.0.0.1:" + std::to_string(m_nPort) + "/test"; }

    void Stop()
    {
        if (!m_pLoop)
            return;
        g_main_loop_quit(m_pLoop);
        if (m_thread.joinable())
            m_thread.join();
        gst_rtsp_server_client_filter(
            m_pServer, [](GstRTSPServer*, GstRTSPClient*, gpointer) { return GST_RTSP_FILTER_REMOVE; }, nullptr);
        if (GSource* pSource = g_main_context_find_source_by_id(m_pContext, m_nSourceId))
            g_source_destroy(pSource);
        g_object_unref(m_pServer);
        g_main_loop_unref(m_pLoop);
        g_main_context_unref(m_pContext);
        m_pLoop = nullptr;
    }

private:
    GMainContext* m_pContext = nullptr;
    GMainLoop* m_pLoop = nullptr;
    GstRTSPServer* m_pServer = nullptr;
    guint m_nSourceId = 0;
    int m_nPort = 0;
    std::thread m_thread;
};

// Accepts connections on 127.0.0.1 and never says a word.
class CSilentListener
{
public:
    bool Start()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* pSocket = m_server.nextPendingConnection())
                m_lstSockets.append(pSocket);
        });
        return m_server.listen(QHostAddress::LocalHost, 0);
    }
    quint16 Port() const { return m_server.serverPort(); }

private:
    QTcpServer m_server;
    QList<QTcpSocket*> m_lstSockets;
};

// A port on 127.0.0.1 that nothing listens on.
inline quint16 ClosedLoopbackPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 nPort = server.serverPort();
    server.close();
    return nPort;
}
