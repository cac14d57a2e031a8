// The Qt implementation of the platform seam comes with the running application.
