<?php
echo error_reporting(), "\n";
