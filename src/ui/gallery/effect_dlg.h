// SPDX-License-Identifier: GPL-3.0-or-later
// The "Effect List" bar: every effect as a preview picture with a caption,
// grouped under headers; a click runs that effect's gallery command.
#pragma once

#include "ui/gallery/list_window.h"

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <atomic>
#include <span>
#include <thread>

class CEffectDlg : public QWidget {
    Q_OBJECT
  public:
    // The bar's docked width.
    static constexpr int kWidth = 200;
    // Where the list sits inside the bar: left, top, right and bottom insets.
    static constexpr QMargins kListInsets{4, 5, 3, 10};

    // One row of the gallery: a header (id 0) or an effect item, whose id is
    // both its picture's number and its gallery command.
    struct Entry {
        int id;
        const char* caption;
    };
    // Every header and effect item in display order.
    static std::span<const Entry> Entries();

    // A picture of an effect item.
    class CEffectThumb : public FCListItem_Base {
      public:
        CEffectThumb(int id, const QString& caption) : m_nID(id), m_strCaption(caption) {}
        void DrawItem(QPainter& painter, const QRect& rect) const override;
        bool IsHeader() const { return m_nID == 0; }

        // The picture's part of rect: less the caption strip at the bottom,
        // inset on the left, top and right.
        static QRect PictureRect(const QRect& rect);
        static QRect CaptionRect(const QRect& rect);

        int m_nID;
        QString m_strCaption;
        QPixmap m_picture; // null until the loader delivers it
    };

    // Two columns of effect items; a header takes a row of its own.
    class CThumbLayout : public FCLayout_HandlerBase {
      public:
        static constexpr int kEffectHeight = 100;
        static constexpr int kHeaderHeight = 26;
        QRect LayoutItems(const std::vector<std::unique_ptr<FCListItem_Base>>& items,
                          int clientWidth) override;
    };

    // The list of thumbs. Its pictures come from a loader thread that starts
    // at the list's first paint and is stopped and joined before the list goes.
    class CEffectList : public FCListWindow {
      public:
        explicit CEffectList(CEffectDlg* bar);
        ~CEffectList() override;

        const CEffectThumb& thumb(int index) const;
        int ItemCount() const { return int(items().size()); }
        // Pictures delivered so far.
        int LoadedCount() const { return m_nLoaded; }
        bool HasLoader() const { return m_loader.joinable(); }

      protected:
        void OnFirstPaint() override;
        void OnLButtonDown(const QPoint& listPoint) override;

      private:
        // Runs on the loader thread: each effect item's picture in list order,
        // handed to the list on its own thread until stop is set.
        static void LoadPictures(CEffectList* list, std::vector<int> ids,
                                 const std::atomic<bool>* stop);
        void TakePicture(int id, const QImage& image);

        CEffectDlg* m_pBar;
        std::thread m_loader;
        std::atomic<bool> m_bStop = false;
        int m_nLoaded = 0;
    };

    explicit CEffectDlg(QWidget* parent = nullptr);
    ~CEffectDlg() override;

    // The list while the bar is shown, null while it is hidden.
    CEffectList* list() const { return m_pList; }

    QSize sizeHint() const override;

  signals:
    // An effect item was clicked; sent after the click has been handled.
    void galleryButtonClicked(int galleryId);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void DestroyList();

    CEffectList* m_pList = nullptr;
};
