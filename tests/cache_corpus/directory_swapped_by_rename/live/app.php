<?php
function app_version() { return "app-1"; }
