// The display windows on a 16-channel, 1,000,000-sample recording: building the min/max
// pyramid (once per load), a repaint of eight traces viewing the whole recording at the
// picture's full width (the model's drawing, the painting into an image, and both), a play
// step at the usual and at a wide span, the real window's play loop on the offscreen
// platform, and one cycle of the vector window with seven circuits.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <filesystem>

#include "bench/bench_recordings.h"
#include "control/form1_model.h"
#include "display/qt/picture_painter.h"
#include "display/qt/waveform_window.h"
#include "display/sample_pyramid.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"

namespace {

using namespace pqwave;

struct Loaded {
    Form1Host host;
    Form1Model form;
    Loaded() : form(bench::largeRecording(41).parent_path(), &host) {
        std::filesystem::path file = bench::largeRecording(41);
        form.Form_Load(2026);
        form.Dir1_Change(file.parent_path().string());
        form.File1_Click(file.filename().string());
        form.DTLood();
    }
};

Loaded& loaded() {
    static Loaded recording;
    return recording;
}

// The waveform model with ch1..ch8 ticked and `intervals` output intervals across the width.
struct Waveform {
    Form2Model model{loaded().form};
    explicit Waveform(const char* intervals, bool fundamental = false) {
        model.openFromMainWindow();
        for (int k = 0; k < 8; ++k) setValue(model.Check1[k], 1);
        if (fundamental) setValue(model.Check1[8], 1);
        setText(model.Text2, intervals);
        click(model.Command3);
    }
    QSize pictureSize() const {
        const Form2Layout& l = model.layout();
        return {model.picturePixelWidth(), static_cast<int>(l.picture.height / 15)};
    }
};

constexpr const char* kWholeRecording = "25000";  // 25000 intervals of 40 samples

void BM_PyramidBuild(benchmark::State& state) {
    const RecordedSamples samples = recordedSamples(displayViewOf(loaded().form));
    for (auto _ : state) benchmark::DoNotOptimize(SamplePyramid(samples));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples.rows));
}

void BM_WaveDrawingFullWidth(benchmark::State& state) {
    Waveform w(kWholeRecording);
    for (auto _ : state) w.model.Drow();
    state.counters["columns"] = w.model.picturePixelWidth();
}

void BM_WavePaintFullWidth(benchmark::State& state) {
    Waveform w(kWholeRecording);
    QImage image(w.pictureSize(), QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPicture(painter, w.model.picture(), QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
}

// What one frame costs: the model's drawing and its painting into the picture's image.
void repaintFrames(benchmark::State& state, Waveform& w, bool step) {
    QImage image(w.pictureSize(), QImage::Format_RGB32);
    int position = 0;
    for (auto _ : state) {
        if (step) {
            position = position >= w.model.HScroll1.max ? 0 : position + 1;
            setScrollValue(w.model.HScroll1, position);  // redraws, as the play loop does
        } else {
            w.model.Drow();
        }
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPicture(painter, w.model.picture(), QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_WaveRepaintFullWidth(benchmark::State& state) {
    Waveform w(kWholeRecording);
    repaintFrames(state, w, false);
}

void BM_WavePlayStepTwoIntervals(benchmark::State& state) {
    Waveform w("2", true);
    repaintFrames(state, w, true);
}

void BM_WavePlayStepThousandIntervals(benchmark::State& state) {
    Waveform w("1000", true);  // 40,000 samples a trace, and the fundamental over them
    repaintFrames(state, w, true);
}

// The real window's play loop: 200 steps, each repainted and yielding to the event loop.
void BM_WindowPlayLoop(benchmark::State& state) {
    Form2Model model(loaded().form);
    Form2 window(model);
    window.openFromMainWindow();
    for (int k = 0; k < 8; ++k) setValue(model.Check1[k], 1);
    click(model.Command3);
    constexpr int kSteps = 200;
    for (auto _ : state) {
        setScrollValue(model.HScroll1, model.HScroll1.max - kSteps + 1);
        click(model.Image1);
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kSteps), benchmark::Counter::kIsRate);
}

void BM_VectorCycleSevenCircuits(benchmark::State& state) {
    Form02Model model(loaded().form);
    model.Form_Activate();
    QImage image(Form02Model::kDefaultPixelWidth, Form02Model::kDefaultPixelHeight, QImage::Format_RGB32);
    int cycle = 0;
    for (auto _ : state) {
        cycle = cycle >= model.HScroll1.max ? 0 : cycle + 1;
        setScrollValue(model.HScroll1, cycle);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPicture(painter, model.picture(), QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_PyramidBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveDrawingFullWidth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WavePaintFullWidth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveRepaintFullWidth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WavePlayStepTwoIntervals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WavePlayStepThousandIntervals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowPlayLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VectorCycleSevenCircuits)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(pqwave::bench::largeRecording(41));
    return 0;
}
