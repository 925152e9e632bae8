-- The helper procedures of 08-repo-tools.sql have done their work: the
-- program never calls them, and a database handed out should hold only what
-- the repository describes.

drop procedure KVX_CARD_DEFAULT;
drop procedure KVX_CTRL_FLD;
drop procedure KVX_CTRL_NODE;
drop procedure KVX_CARD_NEW;
drop procedure KVX_DETBOOK_DEFAULT;
drop procedure KVX_FLTR_NODE;
drop procedure KVX_TBL_LINK;
drop procedure KVX_TBL_DEFAULT;
drop procedure KVX_TBL_COL;
drop procedure KVX_TBL_MASTER;
drop procedure KVX_TBL_CHILD;
drop procedure KVX_TBL_NODE;
drop procedure KVX_TBL_NEW;
drop procedure KVX_FRML;
drop procedure KVX_TEMPL_FLD;
drop procedure KVX_TEMPL;
drop procedure KVX_SET_AGR;
drop procedure KVX_ADD_DEP;
drop procedure KVX_ADD_FLD;
drop procedure KVX_ADD_OBJ;
drop procedure KVX_PATH_END;
drop procedure KVX_PATH_HEAD;
drop procedure KVX_FOLLOW;
drop procedure KVX_FLD_TYPE;
drop procedure KVX_CODE;
drop procedure KVX_FLD;
drop procedure KVX_FLD_OF;
drop procedure KVX_OBJ;
drop exception KVX_REPO_ERROR;

commit;
