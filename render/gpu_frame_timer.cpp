#include "render/gpu_frame_timer.h"

namespace {

bool HasTimerQueries() {
  return (GLAD_GL_ARB_timer_query && glGetQueryObjectui64v) || (GLAD_GL_EXT_timer_query && glGetQueryObjectui64vEXT);
}

GLuint64 ElapsedNanoseconds(GLuint query) {
  GLuint64 nanoseconds = 0;
  if (GLAD_GL_ARB_timer_query && glGetQueryObjectui64v) {
    glGetQueryObjectui64v(query, GL_QUERY_RESULT, &nanoseconds);
  } else {
    glGetQueryObjectui64vEXT(query, GL_QUERY_RESULT, &nanoseconds);
  }
  return nanoseconds;
}

}  // namespace

std::unique_ptr<GpuFrameTimer> GpuFrameTimer::Create() {
  if (!HasTimerQueries() || !glGenQueries || !glDeleteQueries || !glBeginQuery || !glEndQuery || !glGetQueryObjectiv)
    return nullptr;
  std::unique_ptr<GpuFrameTimer> timer(new GpuFrameTimer());
  glGenQueries(kQueries, timer->queries_);
  return timer;
}

GpuFrameTimer::~GpuFrameTimer() {
  if (timing_) glEndQuery(GL_TIME_ELAPSED);
  glDeleteQueries(kQueries, queries_);
}

void GpuFrameTimer::Begin(int tag) {
  if (pending_ == kQueries) return;
  const int next = (oldest_ + pending_) % kQueries;
  tags_[next] = tag;
  glBeginQuery(GL_TIME_ELAPSED, queries_[next]);
  timing_ = true;
}

void GpuFrameTimer::End() {
  if (!timing_) return;
  glEndQuery(GL_TIME_ELAPSED);
  timing_ = false;
  ++pending_;
}

bool GpuFrameTimer::TakeResult(double* seconds, int* tag) {
  if (pending_ == 0) return false;
  const GLuint query = queries_[oldest_];
  GLint available = 0;
  glGetQueryObjectiv(query, GL_QUERY_RESULT_AVAILABLE, &available);
  if (available == 0) return false;
  *seconds = static_cast<double>(ElapsedNanoseconds(query)) * 1e-9;
  *tag = tags_[oldest_];
  oldest_ = (oldest_ + 1) % kQueries;
  --pending_;
  return true;
}
